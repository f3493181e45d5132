"""A case: an application directory, a registry state and a way of starting
the launcher, with what must come of it. Cases are plain data; run_case
sets the world up, runs the launcher once and compares."""
import re
import subprocess
from dataclasses import dataclass, field, fields
from pathlib import Path, PureWindowsPath

from .argument_files import exists_any_case, read_like_java
from .branding import ICON_PATH, Brand
from .builds import WIN64, WINE64
from .code_page import ANSI_CODE_PAGE, ansi_bytes, ansi_text
from .flood import Rotated, rotated_parts
from .records import read_records
from .wine import Run, WineError, WineSession, kill_pid, wait_until
from .world import NO_ROOT, Key, Registry, Runtime, World

APP_DIR = r"C:\Apps\Viewer"

# The installed runtimes most cases use, in the order the registry lists them.
# 1.4.2_08 lives under a path with a blank.
STANDARD = Registry(
    runtimes=(
        Runtime("1.4", r"C:\Java\j2re1.4"),
        Runtime("1.4.2", r"C:\Java\j2re1.4.2"),
        Runtime("1.4.2_03", r"C:\Java\j2re1.4.2_03"),
        Runtime("1.4.2_08", r"C:\Program Files\Java\j2re1.4.2_08"),
        Runtime("1.5.0", r"C:\Java\jre1.5.0"),
        Runtime("1.5.0_06", r"C:\Java\jre1.5.0_06"),
    ),
    current="1.5.0",
)

PAGE_SECONDS = 10
LAUNCHER = object()  # as a case file: the launcher under test
CRASH = b"wine: Unhandled "  # how Wine reports a fault no handler took
NO_TITLE = "<no title>"  # Java: the startup record carried no title
SHOWN = 300  # characters of a long text shown around where it differs
DESCRIBED = 2000  # characters shown of each line of what happened


@dataclass
class Box:
    caption: str
    text: str
    buttons: str = "ok"          # the visible buttons, e.g. "yes,no"
    icon: bool = False


class AnyOrder:
    """Stands in an expected argument for a list of items joined by a
    separator, in whatever order they come (a directory listing's)."""

    def __init__(self, separator: str, items: list[str]):
        self.separator = separator
        self.items = sorted(items)

    def __eq__(self, other):
        return isinstance(other, str) and sorted(other.split(self.separator)) == self.items

    def __repr__(self):
        return f"AnyOrder({self.separator!r}, {len(self.items)} items from {self.items[0]!r})"


class OneOf:
    """Stands in an expected text that the system may give in more than one
    form; each is named in full."""

    def __init__(self, *texts: str):
        self.texts = texts

    def __eq__(self, other):
        return other in self.texts

    def __repr__(self):
        return " or ".join(map(repr, self.texts))


class Matches:
    """Stands in an expected text that only has to have a shape: the whole
    text matches the regular expression (e.g. a short name that the file
    system makes up)."""

    def __init__(self, pattern: str):
        self.pattern = pattern

    def __eq__(self, other):
        return isinstance(other, str) and re.fullmatch(self.pattern, other) is not None

    def __repr__(self):
        return f"Matches({self.pattern!r})"


class Existing:
    """Stands in an expected argument of Java's that must also name an
    existing file or folder, in each of its ';'-separated pieces, when Java
    opens it as it received it."""

    def __init__(self, text):
        self.text = text

    def __eq__(self, other):
        return self.text == other

    def __repr__(self):
        return f"Existing({self.text!r})"


@dataclass
class Java:
    """What the stand-in Java program recorded; None fields are not checked.
    command_line and args are as Java's own launcher reads them, in the ANSI
    code page; the others as the calls ending in W give them."""
    command_line: str | None = None
    args: list[str] | None = None    # the arguments after the program name
    image: str | None = None         # the program file that was started
    cwd: str | None = None
    title: str | None = None         # or NO_TITLE
    wide_command_line: str | None = None
    console_event: str | None = None  # what came while it waited for Ctrl+C
    # Its startup record: dwFlags in hexadecimal (e.g. "1001" for
    # STARTF_TITLEISAPPID and STARTF_USESHOWWINDOW), wShowWindow in decimal.
    startup_flags: str | None = None
    show_window: str | None = None
    console_window: str | None = None  # "yes" or "no": its console has a window
    # The tokens of the argument file ("@file") Java was given, read by Java's
    # rules; the file must be gone once the launcher has ended.
    argument_file: list[str] | None = None
    shown: str | None = None  # the bytes of CORVANE_E2E_JAVA_SHOW's file, as Java saw them


@dataclass
class Case:
    name: str
    config: str | None = ""          # <exe stem>.config in app_dir; None: no such file
    exe: str = "viewer.exe"
    config_name: str | None = None   # instead of <exe stem>.config
    app_dir: str = APP_DIR
    files: dict = field(default_factory=dict)  # path (app-relative or C:\...) -> content
    args: list[str] = field(default_factory=list)
    # "path": wine C:\...\viewer.exe; "console": cmd /c typed. Started by the
    # Windows parent (helpers/parent.c), which sees the whole exit status:
    # "parent", with its standard handles; "parent console", on a console of
    # its own; "parent ctrl-c", which also sends Ctrl+C once Java waits for it;
    # "parent shell", with no standard handles, as the shell starts a GUI program;
    # "parent detached", without a console, its standard handles given.
    start: str = "path"
    typed: str | None = None         # console: the command typed, default the exe's stem
    # Where it is typed (console, default app_dir) or started (default C:\).
    cwd: str | None = None
    show_window: int | None = None   # parent: the show state its startup record asks for
    env: dict[str, str] = field(default_factory=dict)
    console_launcher: bool = False   # installs the build's launcherc.exe as exe
    stdin: bytes | None = None       # through a pipe; None: an empty input
    registry: Registry = STANDARD    # in the registry view that the launcher reads
    other_view: Registry = NO_ROOT   # in the other view
    keys: tuple[Key, ...] = ()       # more registry keys, in any hive and view
    # Builds whose code the case runs besides the launcher's own (a 32-bit
    # stand-in Java that is started needs "win32"). On a machine that cannot
    # run one of them the case is reported as not run, with the reason.
    needs: tuple[str, ...] = ()
    answers: dict[str, str] = field(default_factory=dict)  # box caption -> yes/no/ok
    java_exit: int = 0               # exit code of the stand-in Java program
    java_stdout: str = ""            # the stand-in writes these in UTF-8 ...
    java_stderr: str = ""
    java_echo: bool = False          # ... then copies its input to its output
    java_flood: int = 0              # bytes it writes first to both streams (harness/flood.py)
    java_cat: bool = False           # ... then its last argument, a file, to its output
    brand: Brand | None = None       # the launcher branded so before it is installed
    timeout: float = 20
    # What must come of it. Defaults are strict: no box, no Java, nothing on
    # standard error, no page opened.
    status: int = 0
    boxes: list[Box] | None = field(default_factory=list)
    java: Java | None = None
    # Java started again by the same launcher: what each run recorded, in
    # order (instead of java); every run's parent must be the same process.
    java_runs: list[Java] | None = None
    # Another process holds this file open without FILE_SHARE_DELETE while
    # the launcher starts (until its Java has saved its record).
    held: str | None = None
    # Files after the run, app-relative or C:\...: content, or None for
    # nothing there (a file or a folder).
    files_after: dict[str, str | None] = field(default_factory=dict)
    stdout: str | None = None        # exact, "\n" standing for CR LF; None: unchecked
    stdout_has: list[str] = field(default_factory=list)  # lines that must be there
    stderr: str = ""                 # exact, "\n" standing for CR LF
    # Exact bytes, where Java's own output is part of them; when given, they
    # are checked instead of stdout or stderr.
    stdout_bytes: bytes | None = None
    stderr_bytes: bytes | None = None
    console: str | None = None       # "parent console": its text, "\n" between rows
    browser: list[str] = field(default_factory=list)
    # What Windows reads of the installed exe afterwards (file_properties.c),
    # every field; None: not read.
    shell: dict[str, str] | None = None
    # Programs (file names) that Java starts and that must outlive the
    # launcher; they are ended once the grace for strays is over.
    outlives: tuple[str, ...] = ()
    # The files the run made in app_dir (app-relative paths), with their
    # bytes, or Rotated for a log and its rotated files; {}: none. None: unchecked.
    written: dict | None = None

    def all_files(self) -> dict:
        files = {}
        if self.config is not None:
            name = self.config_name or PureWindowsPath(self.exe).stem + ".config"
            files[name] = self.config
        files.update(self.files)
        return {self.absolute(path): content for path, content in files.items()}

    def absolute(self, path: str) -> str:
        return path if path[1:3] == ":\\" else self.app_dir + "\\" + path

    def command(self) -> tuple[list[str], str]:
        """The wine arguments and the Windows directory to start them in."""
        if self.start == "path" or self.start in PARENT_STARTS:
            return [self.absolute(self.exe), *self.args], self.cwd or "C:\\"
        if self.start == "console":
            typed = self.typed or PureWindowsPath(self.exe).stem
            return ["cmd", "/c", " ".join([typed, *self.args])], self.cwd or self.app_dir
        raise ValueError(f"unknown start {self.start!r}")


PARENT_STARTS = ("parent", "parent console", "parent ctrl-c", "parent detached", "parent shell")


@dataclass
class Outcome:
    run: Run
    boxes: list[dict]
    java: list[dict]
    browser: list[str]
    parent: dict | None = None       # the Windows parent's record
    shell: dict[str, str] | None = None
    faults: list[str] = field(default_factory=list)  # of what the case set up
    files_after: dict[str, str | None] = field(default_factory=dict)
    written: dict[str, bytes] | None = None  # made by the run in app_dir, when the case asks

    def describe(self) -> str:
        lines = [f"  status {self.run.status}",
                 f"  stdout {ansi_text(self.run.stdout)!r}",
                 f"  stderr {ansi_text(self.run.stderr)!r}"]
        if self.parent is not None:
            lines.append(f"  Windows parent {self.parent}")
        lines += [f"  box {box}" for box in self.boxes]
        lines += [f"  java {record}" for record in self.java]
        lines += [f"  browser {url!r}" for url in self.browser]
        if self.shell is not None:
            lines.append(f"  file properties {self.shell}")
        return "\n".join(line if len(line) <= DESCRIBED else
                         f"{line[:DESCRIBED]}... ({len(line) - DESCRIBED} more)" for line in lines)


def crlf(text: str) -> bytes:
    """An expected output text as the launcher writes it: in the ANSI code page."""
    return ansi_bytes(text.replace("\n", "\r\n"))


def run_case(world: World, case: Case) -> Outcome:
    session = world.session
    # Records of their own for each case, so that nothing late from one
    # case can be taken for another's.
    number = session.run_count + 1
    java_record = session.root / f"java-{number}.rec"
    browser_log = session.root / f"browser-{number}.log"
    parent_record = session.root / f"parent-{number}.rec"
    session.boxes_log.unlink(missing_ok=True)
    world.apply_registry(case.registry, case.other_view, case.keys)
    exe = case.absolute(case.exe)
    brand = case.brand
    world.put(exe, world.branded(PureWindowsPath(exe).name, brand) if brand else
              world.console_launcher if case.console_launcher else world.launcher)
    if brand and brand.icon is not None:
        world.put(ICON_PATH, brand.icon)
    for path, content in case.all_files().items():
        world.put(path, world.launcher if content is LAUNCHER else content)
    session.answers_file.write_text(
        "".join(f"{caption}\t{answer}\n" for caption, answer in case.answers.items()),
        encoding="utf-8")
    env = {"CORVANE_E2E_JAVA_RECORD": session.windows_path(java_record),
           "CORVANE_E2E_JAVA_EXIT": str(case.java_exit),
           "CORVANE_E2E_BROWSER_LOG": str(browser_log),
           **tool_environment(case, session.root, number, parent_record), **case.env}
    argv, directory = case.command()
    if case.start in PARENT_STARTS:
        argv = [session.windows_path(world.stand_ins[WIN64.name, "parent.exe"]), *argv]
    shell = None
    files_after = {}
    holder = hold_file(world, case, number, env)
    try:
        run = session.run(argv, cwd=session.unix_path(directory), env=env, timeout=case.timeout,
                          stdin=case.stdin)
        if holder:
            holder.wait(PAGE_SECONDS)
        files_after = {path: read_after(session.unix_path(case.absolute(path)))
                       for path in case.files_after}
        if case.browser:
            wait_for_pages(browser_log, len(case.browser))
        if case.shell is not None:
            records = world.file_properties(exe, ICON_PATH)
            shell = records[0] if records else {}
        written = made_in(session.unix_path(case.app_dir), case) if case.written is not None \
            else None
    finally:
        if holder and holder.poll() is None:
            kill_pid(holder.pid)
            holder.wait()
        world.clean()
    parents = read_records(parent_record)
    java = read_records(java_record)
    for record in java:
        if "argfilePath" in record:
            record["argfileLeft"] = exists_any_case(session.unix_path(record["argfilePath"]))
    return Outcome(run, read_records(session.boxes_log), java, read_lines(browser_log),
                   parent=parents[0] if parents else None, shell=shell,
                   faults=world.branding_faults(PureWindowsPath(exe).name, brand) if brand else [],
                   files_after=files_after, written=written)


def hold_file(world: World, case: Case, number: int, env: dict) -> subprocess.Popen | None:
    """Starts a stand-in that holds case.held open, once it does; the
    launcher's Java lets it go (env gets CORVANE_E2E_JAVA_RELEASE)."""
    if case.held is None:
        return None
    session = world.session
    record = session.root / f"holder-{number}.rec"
    release = session.root / f"release-{number}"
    holder_env = {"CORVANE_E2E_JAVA_RECORD": session.windows_path(record),
                  "CORVANE_E2E_JAVA_LOCK": case.absolute(case.held),
                  "CORVANE_E2E_JAVA_HOLD": session.windows_path(release)}
    program = session.windows_path(world.stand_ins[WIN64.name, "javaw.exe"])
    holder = subprocess.Popen([WINE64, program], env=session.environment(holder_env),
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    wait_until(record.exists, PAGE_SECONDS, "the holder to hold its file")
    env["CORVANE_E2E_JAVA_RELEASE"] = session.windows_path(release)
    return holder


def read_after(path: Path) -> str | None:
    if path.is_dir():
        return "<folder>"
    return ansi_text(path.read_bytes()) if path.exists() else None


def made_in(app_dir: Path, case: Case) -> dict[str, bytes]:
    """The files under app_dir that the case did not put there, by their
    app-relative Windows path."""
    own = {case.absolute(path).lower() for path in case.all_files()} | \
        {case.absolute(case.exe).lower()}
    made = {}
    for path in app_dir.rglob("*"):
        relative = "\\".join(path.relative_to(app_dir).parts)
        if path.is_file() and case.absolute(relative).lower() not in own:
            made[relative] = path.read_bytes()
    return made


def tool_environment(case: Case, root: Path, number: int, parent_record: Path) -> dict:
    """What the stand-in Java does as a command-line tool, and what the
    Windows parent does, as their variables (helpers/fake_java.c, parent.c)."""
    env = {name: text for name, text in (("CORVANE_E2E_JAVA_STDOUT", case.java_stdout),
                                         ("CORVANE_E2E_JAVA_STDERR", case.java_stderr)) if text}
    if case.java_echo:
        env["CORVANE_E2E_JAVA_ECHO"] = "1"
    if case.java_cat:
        env["CORVANE_E2E_JAVA_CAT"] = "1"
    if case.show_window is not None:
        env["CORVANE_E2E_PARENT_SHOW"] = str(case.show_window)
    if case.start == "parent detached":
        env["CORVANE_E2E_PARENT_DETACHED"] = "1"
    if case.start in PARENT_STARTS:
        env["CORVANE_E2E_PARENT_RECORD"] = WineSession.windows_path(parent_record)
    if case.java_flood:
        env["CORVANE_E2E_JAVA_FLOOD"] = str(case.java_flood)
    if case.start == "parent shell":
        env["CORVANE_E2E_PARENT_NO_HANDLES"] = "1"
    if case.start in ("parent console", "parent ctrl-c"):
        env["CORVANE_E2E_PARENT_CONSOLE"] = "1"
    if case.start == "parent ctrl-c":
        env["CORVANE_E2E_JAVA_READY"] = WineSession.windows_path(root / f"java-ready-{number}")
    return env


def read_lines(path: Path) -> list[str]:
    return path.read_text("latin-1").splitlines() if path.exists() else []


def wait_for_pages(browser_log: Path, count: int):
    """The browser is started and not waited for: give the pages it should
    open a bounded time to arrive; fewer are then reported by check."""
    try:
        wait_until(lambda: len(read_lines(browser_log)) >= count, PAGE_SECONDS, "pages")
    except WineError:
        pass


def difference(wanted, got) -> str:
    """How got differs from wanted: for lists of equal length, the first item
    that differs; for a box, its first field that differs; for long texts,
    their lengths and the first place where they part rather than the whole."""
    if isinstance(wanted, list) and isinstance(got, list) and len(wanted) == len(got):
        at = next(i for i, (w, g) in enumerate(zip(wanted, got)) if w != g)
        return f"item {at}: {difference(wanted[at], got[at])}"
    if isinstance(wanted, Box) and isinstance(got, Box):
        name = next(f.name for f in fields(Box) if getattr(wanted, f.name) != getattr(got, f.name))
        parts = getattr(wanted, name), getattr(got, name)
        return f"{name} of {wanted.caption!r}: {difference(*parts)}"
    if not (isinstance(wanted, type(got)) and isinstance(got, (str, bytes))
            and max(len(wanted), len(got)) > SHOWN):
        return f"expected {wanted!r}, got {got!r}"
    at = next((i for i, (w, g) in enumerate(zip(wanted, got)) if w != g),
              min(len(wanted), len(got)))
    start = max(0, at - SHOWN // 3)
    return (f"expected {len(wanted)} characters, got {len(got)}, first different at {at}: "
            f"expected ...{wanted[start:start + SHOWN]!r}, got ...{got[start:start + SHOWN]!r}")


def check(case: Case, outcome: Outcome) -> list[str]:
    """Every way in which the outcome differs from the case's expectations."""
    problems = list(outcome.faults)
    run = outcome.run

    def expect(label, wanted, got):
        if wanted is not None and wanted != got:
            problems.append(f"{label}: {difference(wanted, got)}")

    if run.status is None:
        problems.append(f"hung: killed after {case.timeout} s")
    elif case.start in PARENT_STARTS:
        # Wine gives the Unix side the low 8 bits of the parent's status,
        # which is the launcher's.
        expect("exit status, as Wine gives it to Unix", case.status & 0xFF, run.status)
    else:
        expect("exit status", case.status, run.status)
    if case.start in PARENT_STARTS:
        check_parent(case, outcome.parent, expect, problems)
    if CRASH in run.stderr:
        problems.append("crashed: " + ansi_text(run.stderr).strip())
    names = [program.split(" (pid")[0] for program in run.leftovers]
    left = [program for program, name in zip(run.leftovers, names) if name not in case.outlives]
    if left:
        problems.append(f"programs still running afterwards: {', '.join(left)}")
    problems += [f"{program} did not outlive the launcher" for program in case.outlives
                 if program not in names]
    if case.stderr_bytes is not None:
        expect("standard error", case.stderr_bytes, run.stderr)
    else:
        expect("standard error", crlf(case.stderr), run.stderr)
    if case.stdout_bytes is not None:
        expect("standard output", case.stdout_bytes, run.stdout)
    elif case.stdout is not None:
        expect("standard output", crlf(case.stdout), run.stdout)
    for line in case.stdout_has:
        if crlf(line + "\n") not in run.stdout:
            problems.append(f"standard output lacks the line {line!r}")
    if case.boxes is not None:
        got = [Box(b["caption"], b["text"], b["buttons"], b["icon"] == "yes")
               for b in outcome.boxes]
        expect("message boxes", case.boxes, got)
    if case.java_runs is not None:
        check_java_runs(case.java_runs, outcome.java, expect, problems)
    else:
        check_java(case.java, outcome.java, expect, problems)
    expect("files afterwards", case.files_after, outcome.files_after)
    expect("pages opened", case.browser, outcome.browser)
    expect("file properties as Windows reads them", case.shell, outcome.shell)
    if case.written is not None:
        check_written(case.written, outcome.written or {}, expect, problems)
    return problems


def check_written(wanted: dict, made: dict[str, bytes], expect, problems: list[str]):
    left = dict(made)
    for name, content in wanted.items():
        if not isinstance(content, Rotated):
            expect(f"the file {name}", content, left.pop(name, None))
            continue
        parts = rotated_parts(name, left)
        expect(f"{name} and its rotated files, oldest first", content.content,
               b"".join(left.pop(part) for part in parts))
        over = [f"{part} ({len(made[part])})" for part in parts if len(made[part]) > content.limit]
        if over:
            problems.append(f"files over {content.limit} bytes: {', '.join(over)}")
    if left:
        problems.append(f"files made besides: {', '.join(sorted(left))}")


def check_parent(case: Case, record: dict | None, expect, problems: list[str]):
    if record is None:
        problems.append("the Windows parent recorded nothing")
        return
    expect("exit status, as the Windows parent saw it", str(case.status), record["exitCode"])
    expect("console text", case.console, record.get("console"))
    if case.start == "parent ctrl-c":
        expect("Ctrl+C from the Windows parent", "sent", record.get("ctrlC"))


def check_java_runs(wanted: list[Java], records: list[dict], expect, problems: list[str]):
    if len(records) != len(wanted):
        problems.append(f"Java started {len(records)} times, expected {len(wanted)}")
        return
    if len({record["parent"] for record in records}) != 1:
        problems.append(f"Java was started by more than one process: "
                        f"{[record['parent'] for record in records]}")
    for number, (java, record) in enumerate(zip(wanted, records), 1):
        check_java(java, [record], lambda label, w, g: expect(f"run {number}: {label}", w, g),
                   problems)


def check_java(wanted: Java | None, records: list[dict], expect, problems: list[str]):
    if wanted is None:
        if records:
            problems.append(f"Java was started: {records}")
        return
    if len(records) != 1:
        problems.append(f"Java started {len(records)} times, expected once")
        return
    got = records[0]
    expect("file shown to Java", wanted.shown, got.get("shown"))
    expect("ANSI code page of Java", str(ANSI_CODE_PAGE), got["codePage"])
    expect("Java command line", wanted.command_line, got["commandLine"])
    expect("Java command line (wide)", wanted.wide_command_line, got["wideCommandLine"])
    expect("Java arguments", wanted.args, got.get("args", [])[1:])
    for wanted_arg, arg, found in zip(wanted.args or [], got.get("args", [])[1:],
                                      got.get("found", [])[1:]):
        if isinstance(wanted_arg, Existing) and "0" in found:
            problems.append(f"Java argument {arg!r} names nothing that exists "
                            f"(pieces found: {found})")
    if wanted.argument_file is not None:
        expect("Java's argument file", wanted.argument_file,
               read_like_java(got["argfile"]) if "argfile" in got else None)
        if got.get("argfileLeft"):
            problems.append(f"the argument file {got['argfilePath']} is still there")
    expect("Java program", wanted.image, got["image"])
    expect("Java current directory", wanted.cwd, got["cwd"])
    expect("console event Java got", wanted.console_event, got.get("consoleEvent"))
    expect("Java's startup flags", wanted.startup_flags, got.get("startupFlags"))
    expect("Java's show state", wanted.show_window, got.get("showWindow"))
    expect("Java's console window", wanted.console_window, got.get("consoleWindow"))
    if wanted.title == NO_TITLE:
        # Wine shows a program started without a title its own path instead.
        if got.get("title") not in (None, got["image"]):
            problems.append(f"Java title: expected none, got {got['title']!r}")
    else:
        expect("Java title", wanted.title, got.get("title"))
