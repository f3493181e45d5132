#!/usr/bin/env python3
"""What reading Java's output costs, under Wine, for each build that this
machine runs (scripts/wine_builds.sh; CORVANE_BUILDS narrows it):

  1. wall time, median of interleaved rounds, of a stand-in Java that writes
     50 MB to both of its streams in writes of many sizes (the e2e suite's
     flood), started by the GUI launcher through a Windows parent:
       (n) without javaLog: Java writes straight into the parent's files;
       (k) with javaLog (javaLogSize 10, javaLogKeep 9): Java writes into a
           pipe, the launcher's thread into the log;
       (s) with javaLog, started as the shell starts it (no standard handles):
           two pipes, two threads, the end of standard error kept;
       (p) the least launcher with a log (bench/least_launcher.cpp, built
           WITH_LOG_PIPE): one pipe, read on its main thread into a file;
     k/n and s/n are what the reading adds, Wine's pipes included; k/p what
     the launcher adds to the least that a launcher with a log does;
  2. while Java writes nothing: the CPU time and context switches of the
     launcher over 8 s, with javaLog and started as the shell starts it (two
     reader threads waiting), and without javaLog (nothing read).

    python3 bench/java_output.py [rounds]     (default 15)

Runs in the e2e suite's private Wine prefix and display (tests/e2e/harness),
on one CPU (BENCH_CPU, default 0; empty for none), as bench/wine_startup.sh.
"""
import os
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.dont_write_bytecode = True
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness.builds import WIN64, WINE64, runnable_builds  # noqa: E402
from harness.helpers import build_helpers  # noqa: E402
from harness.wine import WineSession, wait_until  # noqa: E402

FLOOD = 50 * 1024 * 1024
APP = r"C:\Apps\Viewer"
JAVAW = r"C:\Java\jdk\bin\javaw.exe"
CONFIG = f"mainclass Main\njavapath {JAVAW}\n"
LOG = "javaLog logs\\viewer.log\njavaLogSize 10\njavaLogKeep 9\n"
IDLE_SECONDS = 8
WARMUP = 2


def pin():
    cpu = os.environ.get("BENCH_CPU", "0")
    if cpu and not os.environ.get("BENCH_PINNED"):
        os.environ["BENCH_PINNED"] = "1"
        os.execvp("taskset", ["taskset", "-c", cpu, sys.executable, *sys.argv])


class Bench:
    def __init__(self, session: WineSession, helpers: dict):
        self.session, self.helpers = session, helpers
        self.parent = session.windows_path(helpers[WIN64.name, "parent.exe"])
        self.record = session.root / "parent.rec"
        self.hold = session.root / "hold"
        java = session.unix_path(JAVAW)
        java.parent.mkdir(parents=True, exist_ok=True)
        java.write_bytes(helpers[WIN64.name, "javaw.exe"].read_bytes())

    def install(self, build, config: str):
        app = self.session.unix_path(APP)
        subprocess.run(["rm", "-rf", str(app)], check=True)
        app.mkdir(parents=True)
        (app / "viewer.exe").write_bytes(build.exe.read_bytes())
        (app / "viewer.config").write_text(config)
        least = build.exe.parent / "bench" / "least_launcher_with_log.exe"
        (app / "least.exe").write_bytes(least.read_bytes())

    def start(self, detached: bool, env: dict, least: bool = False) -> subprocess.Popen:
        out = self.session.root / "bench.out"
        err = self.session.root / "bench.err"
        env = {"CORVANE_E2E_PARENT_RECORD": self.session.windows_path(self.record), **env}
        if detached:
            env["CORVANE_E2E_PARENT_DETACHED"] = "1"
        program = [APP + "\\least.exe", JAVAW, "Main"] if least else [APP + "\\viewer.exe"]
        if least:
            env["LEAST_LOG"] = APP + "\\least.log"
        with open(out, "wb") as stdout, open(err, "wb") as stderr:
            return subprocess.Popen([WINE64, self.parent, *program],
                                    cwd=self.session.unix_path("C:\\"),
                                    env=self.session.environment(env),
                                    stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr)

    def flood_seconds(self, build, config: str, detached: bool, least: bool) -> float:
        self.install(build, config)
        started = time.monotonic()
        process = self.start(detached, {"CORVANE_E2E_JAVA_FLOOD": str(FLOOD)}, least)
        # A plain wait: one with a timeout polls, and would round every run
        # up to 50 ms; the watchdog bounds it instead.
        watchdog = threading.Timer(300, process.kill)
        watchdog.start()
        status = process.wait()
        seconds = time.monotonic() - started
        watchdog.cancel()
        if status != 0:
            raise SystemExit(f"{build.tag} the launcher ended with {status}")
        return seconds

    def launcher_pid(self) -> int:
        def found() -> list[int]:
            return [pid for pid, name in self.session.stray_processes().items()
                    if name == "viewer.exe"]
        wait_until(found, 20, "the launcher")
        return found()[0]

    def idle(self, build, config: str) -> tuple[float, int, int, int]:
        """CPU milliseconds, context switches, threads and resident KiB of the
        launcher over IDLE_SECONDS while Java writes nothing."""
        self.install(build, config)
        self.hold.unlink(missing_ok=True)
        process = self.start(True, {"CORVANE_E2E_JAVA_HOLD": self.session.windows_path(self.hold)})
        pid = self.launcher_pid()
        time.sleep(2)  # Java has started and the launcher waits
        before = cpu_ns(pid), switches(pid)
        time.sleep(IDLE_SECONDS)
        after = cpu_ns(pid), switches(pid)
        threads = len(list(Path(f"/proc/{pid}/task").iterdir()))
        resident = next(int(line.split()[1]) for line in
                        Path(f"/proc/{pid}/status").read_text().splitlines()
                        if line.startswith("VmRSS"))
        self.hold.write_text("")
        process.wait(60)
        return (after[0] - before[0]) / 1e6, after[1] - before[1], threads, resident


def thread_files(pid: int, name: str) -> list[str]:
    texts = []
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            texts.append((task / name).read_text())
        except OSError:
            pass  # the thread ended meanwhile
    return texts


def cpu_ns(pid: int) -> int:
    return sum(int(text.split()[0]) for text in thread_files(pid, "schedstat"))


def switches(pid: int) -> int:
    return sum(int(line.split()[1]) for text in thread_files(pid, "status")
               for line in text.splitlines() if "ctxt_switches" in line)


def measure(bench: Bench, build, rounds: int):
    variants = {"n": (CONFIG, False, False), "k": (CONFIG + LOG, False, False),
                "s": (CONFIG + LOG, True, False), "p": (CONFIG, False, True)}
    times = {name: [] for name in variants}
    for round_number in range(WARMUP + rounds):
        for name, (config, detached, least) in variants.items():
            seconds = bench.flood_seconds(build, config, detached, least)
            if round_number >= WARMUP:
                times[name].append(seconds)
    print(f"{build.tag} 50 MB written by Java, {rounds} rounds, median (interquartile range), ms:")
    for name, values in times.items():
        q = statistics.quantiles(values, n=4)
        print(f"  ({name}) {statistics.median(values) * 1000:.0f} "
              f"({q[0] * 1000:.0f} to {q[2] * 1000:.0f})")
    n = statistics.median(times["n"])
    k = statistics.median(times["k"])
    print(f"  k/n = {k / n:.3f}, s/n = {statistics.median(times['s']) / n:.3f}, "
          f"k/p = {k / statistics.median(times['p']):.3f}, "
          f"p/n = {statistics.median(times['p']) / n:.3f}")
    for label, config in (("with javaLog, shell start", CONFIG + LOG),
                          ("without javaLog, shell start", CONFIG)):
        milliseconds, switched, threads, resident = bench.idle(build, config)
        print(f"{build.tag} while Java is silent, {label}: {milliseconds:.3f} ms of CPU in "
              f"{IDLE_SECONDS} s, {switched} context switches, {threads} threads, "
              f"VmRSS {resident} KiB")


def main() -> int:
    pin()
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 15
    builds = runnable_builds()
    print(*builds.describe(), sep="\n", flush=True)
    helpers = build_helpers(REPO / "build" / "e2e")
    with WineSession(helpers[WIN64.name, "box_watcher.exe"]) as session:
        bench = Bench(session, helpers)
        for build in builds.runnable:
            if not build.exe.exists():
                raise SystemExit(f"{build.exe} is missing: build the {build.name} preset first")
            measure(bench, build, rounds)
    return 0


if __name__ == "__main__":
    sys.exit(main())
