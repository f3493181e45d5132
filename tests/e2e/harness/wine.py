"""A private Wine world for the tests: an Xvfb display, a fresh prefix, the
message-box watcher, and bounded runs of Windows programs in that prefix.

Every process started here is ended by its pid, and the prefix's wineserver
with `wineserver -k` on this prefix alone. The prefix is a 64-bit one, and
every program in it is started through the 64-bit loader (see builds.py).
"""
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

from .builds import WINE64, WINESERVER64
from .code_page import LOCALE

# Programs Wine starts on its own and keeps for the prefix's lifetime.
SYSTEM_PROGRAMS = {
    "wineserver", "wineserver32", "wineserver64", "services.exe", "winedevice.exe",
    "plugplay.exe", "svchost.exe", "explorer.exe", "rpcss.exe",
}
SETTLE_SECONDS = 10
UNICODE_REG_HEADER = "Windows Registry Editor Version 5.00"
PF_KTHREAD = 0x00200000  # /proc/<pid>/stat flags: a kernel thread
POLL_SECONDS = 0.02


class WineError(RuntimeError):
    pass


@dataclass
class Run:
    status: int | None          # None when the program had to be killed
    stdout: bytes
    stderr: bytes
    leftovers: list[str]        # processes that outlived the run and were killed


def wait_until(condition, timeout: float, what: str):
    """Polls condition until it holds; raises WineError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise WineError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(POLL_SECONDS)


def feed(process: subprocess.Popen, data: bytes):
    """Writes data to the process's standard input pipe and closes it; a
    program that ends without reading it all is no error here."""
    try:
        process.stdin.write(data)
        process.stdin.close()
    except BrokenPipeError:
        pass


def kill_pid(pid: int):
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


class WineSession:
    """Use as a context manager: the display, the prefix and every process are
    gone when it ends, however it ends."""

    def __init__(self, watcher_exe: Path):
        self.watcher_exe = watcher_exe
        self.root = Path(tempfile.mkdtemp(prefix="corvane-e2e-"))
        self.prefix = self.root / "prefix"
        self.drive_c = self.prefix / "drive_c"
        self.boxes_log = self.root / "boxes.log"
        self.answers_file = self.root / "answers.txt"
        self.xvfb = None
        self.display = None
        self.watcher = None
        self.base_pids: set[int] = set()
        self.started_server = False
        self.run_count = 0
        self.pids_before_run: set[int] = set()

    # --- lifetime -----------------------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            self._make_prefix()
            self._start_watcher()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _start_display(self):
        # Xvfb picks a free display itself and writes its number to the pipe.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
             "-screen", "0", "1024x768x24"],
            pass_fds=[write_end], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                os.close(read_end)
                raise WineError("Xvfb did not report a display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def environment(self, extra: dict[str, str] | None = None) -> dict[str, str]:
        env = {k: v for k, v in os.environ.items() if not k.startswith("CORVANE_E2E_")}
        env.update(WINEPREFIX=str(self.prefix), WINEARCH="win64", WINEDEBUG="-all",
                   DISPLAY=self.display or "",
                   # Unix names in UTF-8, and the ANSI code page the cases expect
                   LC_ALL=LOCALE,
                   # no Mono/Gecko installers, no desktop menu entries
                   WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=")
        env.update(extra or {})
        return env

    def _make_prefix(self):
        env = self.environment()
        self.prefix.mkdir()
        # A persistent server: the prefix stays up between the test programs.
        subprocess.run([WINESERVER64, "-p"], env=env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started_server = True
        self.run_quiet(["wineboot", "-i"], timeout=120)
        # The first boot of a prefix leaves two services.exe running, each
        # answering some of the calls to the service control manager: the
        # server starts again, and the next program starts one.
        subprocess.run([WINESERVER64, "-k"], env=env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: not self.prefix_processes(), 20, "the first boot's programs to end")
        subprocess.run([WINESERVER64, "-p"], env=env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        browser = self.root / "browser.sh"
        # Started by winebrowser with the environment of the program that
        # opened the page, so each case names its own log.
        browser.write_text('#!/bin/sh\nprintf \'%s\\n\' "$@" >> "$CORVANE_E2E_BROWSER_LOG"\n')
        browser.chmod(0o755)
        settings = self.root / "settings.reg"
        settings.write_text(
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"Managed\"=\"N\"\n\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n\"ShowCrashDialog\"=dword:00000000\n\n"
            "[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]\n"
            f"\"Browsers\"=\"{browser}\"\n")
        self.import_registry(settings)

    def _start_watcher(self):
        ready = self.root / "watcher.ready"
        self.answers_file.write_text("")
        self.watcher = subprocess.Popen(
            [WINE64, str(self.watcher_exe), self.windows_path(self.boxes_log),
             self.windows_path(self.answers_file), self.windows_path(ready)],
            env=self.environment(), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(ready.exists, 30, "the message-box watcher")
        self.base_pids = set(self.prefix_processes())

    def close(self):
        if self.watcher:
            kill_pid(self.watcher.pid)
            self.watcher.wait()
            self.watcher = None
        if self.started_server:
            subprocess.run([WINESERVER64, "-k"], env=self.environment(), timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_until(lambda: not self.prefix_processes(), 20, "the prefix to shut down")
            except WineError:
                for pid in self.prefix_processes():
                    kill_pid(pid)
            self.started_server = False
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                kill_pid(self.xvfb.pid)
                self.xvfb.wait()
            self.xvfb = None
        shutil.rmtree(self.root, ignore_errors=True)

    # --- paths --------------------------------------------------------------

    def unix_path(self, windows_path: str) -> Path:
        """C:\\a\\b -> <prefix>/drive_c/a/b; only drive C: is mapped."""
        if windows_path[:3].upper() != "C:\\":
            raise ValueError(f"not a path on drive C: {windows_path}")
        return self.drive_c.joinpath(*[p for p in windows_path[3:].split("\\") if p])

    @staticmethod
    def windows_path(unix_path: Path) -> str:
        """Any Unix path, through Wine's Z: drive."""
        return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")

    # --- processes ----------------------------------------------------------

    def prefix_processes(self, starting: bool = False, marker: str | None = None
                         ) -> dict[int, str]:
        """pid -> name of every live process that runs in this prefix. With
        starting, also the processes started since the last run began whose
        environment cannot be told yet: in the middle of an exec a process
        shows an empty one for a moment, and it may be a program that a Wine
        program has just started. With marker (NAME=value), only those whose
        environment holds it: a Windows program hands its environment on to
        the programs it starts, which under either loader are Unix processes
        of their own, re-parented away from the one that started them."""
        wanted = [b"WINEPREFIX=" + bytes(self.prefix)] + ([marker.encode()] if marker else [])
        found = {}
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                stat = (entry / "stat").read_text()
                fields = stat[stat.rindex(")") + 2:].split()
                if fields[0] == "Z" or int(fields[6]) & PF_KTHREAD:
                    continue  # ended and waiting for its parent, or the kernel's
                environment = (entry / "environ").read_bytes()
                new = int(entry.name) not in self.pids_before_run
                if set(wanted) <= set(environment.split(b"\0")) or \
                        (starting and new and not environment):
                    found[int(entry.name)] = (entry / "comm").read_text().strip()
            except (OSError, ValueError, IndexError):
                continue  # gone meanwhile, or not ours to read
        return found

    def stray_processes(self, starting: bool = False, marker: str | None = None
                        ) -> dict[int, str]:
        """Processes of the prefix started since the watcher, other than Wine's own."""
        return {pid: name for pid, name in self.prefix_processes(starting, marker).items()
                if pid not in self.base_pids and name not in SYSTEM_PROGRAMS}

    def settle(self, grace: float = SETTLE_SECONDS) -> list[str]:
        """Waits up to grace seconds until every program started for a run has
        ended; kills and returns those still there then."""
        try:
            wait_until(lambda: not self.stray_processes(starting=True), grace,
                       "started programs to end")
            return []
        except WineError:
            strays = self.stray_processes()
            for pid in strays:
                kill_pid(pid)
            try:
                wait_until(lambda: not set(strays) & set(self.stray_processes()), 5,
                           "killed programs to go")
            except WineError:
                pass  # reported below all the same
            return [f"{name} (pid {pid})" for pid, name in strays.items()]

    def mark_run_start(self) -> None:
        """The processes running now: any other found at the end was the run's."""
        self.pids_before_run = {int(p.name) for p in Path("/proc").iterdir() if p.name.isdigit()}

    def run(self, argv: list[str], *, cwd: Path | None = None,
            env: dict[str, str] | None = None, timeout: float = 20,
            stdin: bytes | None = None, settle: bool = True) -> Run:
        """Runs argv through the 64-bit loader with its output in files; bounded by timeout.
        Each run has files of its own: the programs it starts inherit them.
        stdin, when given, comes through a pipe that is closed after it.
        settle=False leaves what the program started running (a service, which
        belongs to services.exe)."""
        self.run_count += 1
        self.mark_run_start()
        out_path = self.root / f"run-{self.run_count}.out"
        err_path = self.root / f"run-{self.run_count}.err"
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            process = subprocess.Popen([WINE64, *argv], cwd=cwd, env=self.environment(env),
                                       stdin=subprocess.DEVNULL if stdin is None else
                                       subprocess.PIPE, stdout=out, stderr=err)
        if stdin is not None:
            feed(process, stdin)
        try:
            status = process.wait(timeout)
        except subprocess.TimeoutExpired:
            kill_pid(process.pid)
            process.wait()
            status = None
        # After a hang nothing is waited for: whatever is left belongs to it.
        leftovers = self.settle(SETTLE_SECONDS if status is not None else 0) if settle else []
        return Run(status, out_path.read_bytes(), err_path.read_bytes(), leftovers)

    def run_quiet(self, argv: list[str], timeout: float = 30):
        run = self.run(argv, timeout=timeout)
        if run.status != 0 or run.leftovers:
            raise WineError(f"{' '.join(argv)}: status {run.status}, "
                            f"left {run.leftovers}, stderr {run.stderr[-500:]!r}")

    def import_registry(self, reg_file: Path):
        """Imports a REGEDIT4 file written in UTF-8. Wine's regedit reads that
        format in the ANSI code page, so it is given the same lines in the
        format whose text is UTF-16, where names and values may be in any script."""
        text = reg_file.read_text("utf-8").removeprefix("REGEDIT4")
        wide = reg_file.with_suffix(".utf16.reg")
        wide.write_text(UNICODE_REG_HEADER + text, encoding="utf-16")
        self.run_quiet(["regedit", "/S", self.windows_path(wide)])
