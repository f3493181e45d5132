"""Cases of the service launcher under Wine's service control manager: the
launcher as agent.exe in its directory, its commands run at a prompt, `sc`
beside them, and the stand-in Java that the service starts. Each case is a
list of steps, run in order; a step that finds something other than it
expects adds a problem, and the case goes on to its end, which uninstalls
the service and ends whatever is left.

The service starts its Java from services.exe, whose environment the test
does not set: the stand-in reads its variables from stand-in.env beside
itself. Wine 8 refuses delayed start and the failure actions' flag for
non-crash failures, so no case asks for them (the host tests do)."""
import re
from dataclasses import dataclass, field

from .case import Matches
from .code_page import ansi_text
from .lifetime import LifetimeOutcome, run_steps
from .records import read_records
from .wine import WineError, wait_until
from .world import StandIn

SERVICE_DIR = r"C:\Services\Agent"
EXE = SERVICE_DIR + r"\agent.exe"
JAVA = SERVICE_DIR + r"\java\bin\java.exe"
LOG = SERVICE_DIR + r"\agent.log"
WAIT_SECONDS = 40
STAMP = re.compile(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d ")


@dataclass(frozen=True)
class Command:
    """agent.exe with these arguments ends with status and one line on
    standard error (a str, or Matches)."""
    args: tuple[str, ...]
    status: int
    said: object


@dataclass(frozen=True)
class Sc:
    """`sc` with these arguments, which must succeed."""
    args: tuple[str, ...]


@dataclass(frozen=True)
class Query:
    """`sc query agent`: its state, and (when not None) its exit codes."""
    state: str
    win32_exit: int | None = None
    service_exit: int | None = None


@dataclass(frozen=True)
class JavaStarted:
    """So many stand-ins have saved their record by now; the last one's
    arguments (after the main class's program) and console event, when not
    None, are these."""
    count: int
    args: tuple[str, ...] | None = None
    console_event: str | None = None


@dataclass(frozen=True)
class JavaWaits:
    """The stand-in has its Ctrl+C handler in place and waits."""


@dataclass(frozen=True)
class JavaGone:
    """No stand-in Java runs (within a few seconds)."""


@dataclass(frozen=True)
class Log:
    """The log's lines, without the date and time that each of the
    launcher's own lines starts with; java_lines are the stand-in's, which
    carry none."""
    lines: tuple
    java_lines: tuple[str, ...] = ()


@dataclass
class ServiceCase:
    name: str
    config: str
    steps: tuple
    stand_in: dict[str, str] = field(default_factory=dict)  # its variables, besides the record
    needs: tuple[str, ...] = ()


class ServiceRun:
    def __init__(self, world, case: ServiceCase):
        self.world, self.case, self.session = world, case, world.session
        self.problems: list[str] = []
        self.happened: list[str] = []
        number = self.session.run_count + 1
        self.record = self.session.root / f"service-java-{number}.rec"
        self.ready = self.session.root / f"service-ready-{number}"

    def problem(self, text: str):
        self.problems.append(text)
        self.happened.append("PROBLEM " + text)

    def stand_in_variables(self) -> str:
        windows = self.session.windows_path
        variables = {"CORVANE_E2E_JAVA_RECORD": windows(self.record), **self.case.stand_in}
        if variables.pop("ready", None):
            variables["CORVANE_E2E_JAVA_READY"] = windows(self.ready)
        return "".join(f"{name}={value}\n" for name, value in variables.items())

    def run(self, argv: list[str]) -> tuple[int | None, str]:
        """Runs a program in the prefix to its end, without waiting for what
        it started: the service's processes belong to services.exe. Returns
        its status and what it wrote."""
        run = self.session.run(argv, cwd=self.session.unix_path(SERVICE_DIR),
                               timeout=WAIT_SECONDS, settle=False)
        return run.status, ansi_text(run.stdout + run.stderr)

    def query(self) -> dict[str, str]:
        status, text = self.run(["sc", "query", "agent"])
        return dict(re.findall(r"(\w+)\s*:\s*(\d+)", text)) if status == 0 else {}

    def step(self, step):
        self.happened.append(repr(step))
        if isinstance(step, Command):
            status, said = self.run([EXE, *step.args])
            said = said.strip()
            if status != step.status or not step.said == said:
                self.problem(f"agent.exe {' '.join(step.args)}: status {status}, said {said!r}; "
                             f"expected {step.status}, {step.said!r}")
        elif isinstance(step, Sc):
            status, said = self.run(["sc", *step.args])
            if status != 0:
                self.problem(f"sc {' '.join(step.args)}: status {status}, {said.strip()!r}")
        elif isinstance(step, Query):
            self.check_query(step)
        elif isinstance(step, JavaStarted):
            self.check_java(step)
        elif isinstance(step, JavaWaits):
            self.wait_for(self.ready.exists, "the stand-in to wait for Ctrl+C")
        elif isinstance(step, JavaGone):
            self.wait_for(lambda: not self.running_java(), "the stand-in to end", 10)
        elif isinstance(step, Log):
            self.check_log(step)
        else:
            raise ValueError(f"unknown step {step!r}")

    def wait_for(self, condition, what: str, seconds: float = WAIT_SECONDS) -> bool:
        try:
            wait_until(condition, seconds, what)
            return True
        except WineError as error:
            self.problem(str(error))
            return False

    def running_java(self) -> list[int]:
        return [pid for pid, name in self.session.stray_processes().items()
                if name.lower() == "java.exe"]

    def check_query(self, step: Query):
        found = self.query()
        wanted = {"STATE": {"STOPPED": "1", "RUNNING": "4"}[step.state]}
        if step.win32_exit is not None:
            wanted["WIN32_EXIT_CODE"] = str(step.win32_exit)
        if step.service_exit is not None:
            wanted["SERVICE_EXIT_CODE"] = str(step.service_exit)
        if any(found.get(name) != value for name, value in wanted.items()):
            self.problem(f"sc query agent: {found}, expected {wanted}")

    def check_java(self, step: JavaStarted):
        if not self.wait_for(lambda: len(read_records(self.record)) >= step.count,
                             f"{step.count} stand-ins to start"):
            return
        records = read_records(self.record)
        last = records[-1]
        args = tuple(last.get("args", [])[1:])
        problems = []
        if len(records) != step.count:
            problems.append(f"{len(records)} started")
        if step.args is not None and args != step.args:
            problems.append(f"arguments {args}")
        if step.console_event is not None and last.get("consoleEvent") != step.console_event:
            problems.append(f"console event {last.get('consoleEvent')!r}")
        if last.get("cwd", "").lower() != SERVICE_DIR.lower():
            problems.append(f"working directory {last.get('cwd')!r}")
        if problems:
            self.problem("the stand-in Java: " + ", ".join(problems))

    def check_log(self, step: Log):
        path = self.session.unix_path(LOG)
        lines = ansi_text(path.read_bytes()).splitlines() if path.exists() else []
        own = [line for line in lines if line not in step.java_lines]
        unstamped = [line for line in own if not STAMP.match(line)]
        found = [STAMP.sub("", line, count=1) for line in own]
        if unstamped:
            self.problem(f"log lines without their date and time: {unstamped}")
        if [line for line in lines if line in step.java_lines] != list(step.java_lines):
            self.problem(f"the stand-in's lines are not in the log: {lines}")
        if len(found) != len(step.lines) or not all(want == got for want, got in
                                                    zip(step.lines, found)):
            self.problem(f"the log's lines: {found}, expected {list(step.lines)}")

    def finish(self):
        """Uninstalls the service (stopping it), and ends what is left."""
        self.run([EXE, "uninstall"])
        self.run(["sc", "delete", "agent"])
        leftovers = self.session.settle()
        if leftovers:
            self.problem(f"programs still running afterwards: {', '.join(leftovers)}")


def run_service(world, case: ServiceCase) -> LifetimeOutcome:
    session = world.session
    session.mark_run_start()
    run = ServiceRun(world, case)
    world.put(EXE, world.service_launcher)
    world.put(SERVICE_DIR + r"\agent.config", case.config)
    world.put(JAVA, StandIn(console=True))
    world.put(SERVICE_DIR + r"\java\bin\stand-in.env", run.stand_in_variables())
    return run_steps(world, run, case.steps)
