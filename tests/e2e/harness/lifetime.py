"""Cases of Java's lifetime: the launcher ended from outside while Java
runs, or started again while an earlier start still runs its Java. Each is
a list of steps, run in order; every step that finds something other than
it expects adds a problem, and the case goes on to its end.

The stand-in Java of these cases saves its record at once and then stays
alive until the case releases it (CORVANE_E2E_JAVA_HOLD); with a window
(CORVANE_E2E_JAVA_WINDOW) it shows one, minimised, and reports at its end
whether it is minimised still."""
import os
import signal
import subprocess
from dataclasses import dataclass, field
from pathlib import Path, PureWindowsPath

from .builds import WINE64
from .case import APP_DIR, Box
from .code_page import ansi_text
from .records import read_records
from .wine import WineError, kill_pid, wait_until
from .world import NO_ROOT

WAIT_SECONDS = 20


@dataclass(frozen=True)
class Start:
    """Starts the launcher and goes on while it runs."""
    label: str


@dataclass(frozen=True)
class Run:
    """Runs the launcher to its end, which must come with this status."""
    status: int = 0


@dataclass(frozen=True)
class JavaStarted:
    """So many stand-in Java programs have started in all, by now."""
    count: int


@dataclass(frozen=True)
class Kill:
    """Ends a started launcher by its own process (SIGKILL), as End task or a
    parent's timeout does."""
    label: str


@dataclass(frozen=True)
class Release:
    """Lets every held stand-in end."""


@dataclass(frozen=True)
class Ended:
    """A started launcher has ended, with this status (None: any, as after
    Kill, when a 32-bit launcher's status is that of the start.exe that the
    64-bit loader ran to start it)."""
    label: str
    status: int | None = 0


@dataclass(frozen=True)
class Running:
    """A program of that file name runs now (alive), or has ended within a
    few seconds (not alive)."""
    program: str
    alive: bool


@dataclass(frozen=True)
class WindowRestored:
    """The stand-in's window, shown minimised, was restored by the time the
    stand-in ended (it reported so)."""
    restored: bool


@dataclass
class Lifetime:
    name: str
    config: str
    steps: tuple
    files: dict = field(default_factory=dict)
    env: dict[str, str] = field(default_factory=dict)
    window: bool = False             # the stand-in shows a window
    exe: str = "viewer.exe"
    boxes: list[Box] = field(default_factory=list)  # every box of the whole case
    needs: tuple[str, ...] = ()


@dataclass
class LifetimeOutcome:
    problems: list[str]
    happened: list[str]

    def describe(self) -> str:
        return "\n".join(f"  {line}" for line in self.happened)


@dataclass
class Started:
    process: subprocess.Popen
    stdout: Path
    stderr: Path
    marker: str         # NAME=value, in the environment of this start alone


class LifetimeRun:
    def __init__(self, world, case: Lifetime):
        self.world, self.case, self.session = world, case, world.session
        self.started: dict[str, Started] = {}
        self.problems: list[str] = []
        self.happened: list[str] = []
        root = self.session.root
        number = self.session.run_count + 1
        self.java_record = root / f"java-{number}.rec"
        self.hold = root / f"hold-{number}"
        self.window_report = root / f"window-{number}.txt"

    def env(self) -> dict[str, str]:
        windows = self.session.windows_path
        env = {"CORVANE_E2E_JAVA_RECORD": windows(self.java_record),
               "CORVANE_E2E_JAVA_HOLD": windows(self.hold)}
        if self.case.window:
            env["CORVANE_E2E_JAVA_WINDOW"] = windows(self.window_report)
        return {**env, **self.case.env}

    def launch(self) -> Started:
        session = self.session
        session.run_count += 1
        out = session.root / f"run-{session.run_count}.out"
        err = session.root / f"run-{session.run_count}.err"
        exe = APP_DIR + "\\" + self.case.exe
        number = str(session.run_count)
        env = {**self.env(), "CORVANE_E2E_START": number}
        with open(out, "wb") as stdout, open(err, "wb") as stderr:
            process = subprocess.Popen([WINE64, exe], cwd=session.unix_path("C:\\"),
                                       env=session.environment(env),
                                       stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr)
        return Started(process, out, err, "CORVANE_E2E_START=" + number)

    def java_count(self) -> int:
        return len(read_records(self.java_record))

    def running(self, program: str, marker: str | None = None) -> list[int]:
        return [pid for pid, name in self.session.stray_processes(marker=marker).items()
                if name.lower() == program.lower()]

    def problem(self, text: str):
        self.problems.append(text)
        self.happened.append("PROBLEM " + text)

    def step(self, step):
        self.happened.append(repr(step))
        if isinstance(step, Start):
            self.started[step.label] = self.launch()
        elif isinstance(step, Run):
            started = self.launch()
            try:
                status = started.process.wait(WAIT_SECONDS)
            except subprocess.TimeoutExpired:
                kill_pid(started.process.pid)
                started.process.wait()
                status = None
            self.check_status("the launcher", status, step.status, started)
        elif isinstance(step, JavaStarted):
            try:
                wait_until(lambda: self.java_count() >= step.count, WAIT_SECONDS, "Java to start")
            except WineError:
                pass
            if self.java_count() != step.count:
                self.problem(f"{self.java_count()} Java programs started, expected {step.count}")
        elif isinstance(step, Kill):
            self.kill(self.started[step.label])
        elif isinstance(step, Release):
            self.hold.write_text("")
        elif isinstance(step, Ended):
            started = self.started[step.label]
            try:
                status = started.process.wait(WAIT_SECONDS)
            except subprocess.TimeoutExpired:
                status = "still running"
            if step.status is not None or status == "still running":
                self.check_status(f"launcher {step.label!r}", status, step.status, started)
        elif isinstance(step, Running):
            self.check_running(step)
        elif isinstance(step, WindowRestored):
            self.check_window(step)
        else:
            raise ValueError(f"unknown step {step!r}")

    def check_status(self, what: str, status, wanted, started: Started):
        if status != wanted:
            self.problem(f"{what} ended with status {status}, expected {wanted}; "
                         f"stderr {ansi_text(started.stderr.read_bytes())!r}")

    def kill(self, started: Started):
        """The launcher's own process: the one of its name with the marker of
        its start. A 64-bit launcher is the process the harness started; a
        32-bit one is started by start.exe, which the 64-bit loader runs in
        its place, and Wine re-parents it away from there (to init)."""
        pids = self.running(PureWindowsPath(self.case.exe).name, started.marker)
        if len(pids) != 1:
            self.problem(f"found {len(pids)} launcher processes to end, expected one")
        for pid in pids:
            os.kill(pid, signal.SIGKILL)

    def check_running(self, step: Running):
        if step.alive:
            if not self.running(step.program):
                self.problem(f"{step.program} does not run")
            return
        try:
            wait_until(lambda: not self.running(step.program), 10, f"{step.program} to end")
        except WineError:
            self.problem(f"{step.program} still runs")

    def check_window(self, step: WindowRestored):
        try:
            wait_until(self.window_report.exists, WAIT_SECONDS, "the window report")
        except WineError:
            self.problem("the stand-in reported nothing about its window")
            return
        restored = self.window_report.read_text().strip() == "iconic 0"
        if restored != step.restored:
            self.problem(f"the stand-in's window was {'' if restored else 'not '}restored")

    def finish(self):
        """Releases the stand-ins, ends what is left, and checks the boxes."""
        self.hold.write_text("")
        for label, started in self.started.items():
            try:
                started.process.wait(WAIT_SECONDS)
            except subprocess.TimeoutExpired:
                self.problem(f"launcher {label!r} did not end")
                kill_pid(started.process.pid)
                started.process.wait()
        leftovers = self.session.settle()
        if leftovers:
            self.problem(f"programs still running afterwards: {', '.join(leftovers)}")
        boxes = [Box(b["caption"], b["text"], b["buttons"], b["icon"] == "yes")
                 for b in read_records(self.session.boxes_log)]
        if boxes != self.case.boxes:
            self.problem(f"message boxes: expected {self.case.boxes}, got {boxes}")


def run_lifetime(world, case: Lifetime) -> LifetimeOutcome:
    session = world.session
    session.boxes_log.unlink(missing_ok=True)
    session.answers_file.write_text("")
    session.mark_run_start()
    world.apply_registry(NO_ROOT)
    world.put(APP_DIR + "\\" + case.exe, world.launcher)
    world.put(APP_DIR + "\\" + PureWindowsPath(case.exe).stem + ".config", case.config)
    for path, content in case.files.items():
        world.put(path if path[1:3] == ":\\" else APP_DIR + "\\" + path, content)
    return run_steps(world, LifetimeRun(world, case), case.steps)


def run_steps(world, run, steps) -> LifetimeOutcome:
    """Each step in order on the run (its step(), finish(), problems and
    happened); whatever happens, the run finishes and the case's files go."""
    try:
        for step in steps:
            run.step(step)
    finally:
        run.finish()
        world.clean()
    return LifetimeOutcome(run.problems, run.happened)
