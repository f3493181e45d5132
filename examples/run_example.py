#!/usr/bin/env python3
"""Runs the example application (examples/viewer) through the launcher under
Wine and shows what the launcher did: the Java command it started (as a
stand-in java program recorded it), its message boxes, output and exit status.

    python3 examples/run_example.py

It runs each build of the launcher that this machine can run
(scripts/wine_builds.sh; CORVANE_BUILDS narrows it), and says which. Three
runs each: one with a suitable Java runtime installed; one where only an
older 1.4.2 release is, which the launcher answers with its download prompt
(answered Yes: the download page is opened); and one where the installed
runtime is Debian's OpenJDK, which runs a real main class (examples/openjdk,
compiled here) that reports what it received.

Then a command-line tool (examples/tool) runs through the console launcher,
launcherc.exe, with its standard input from a pipe: once with the stand-in,
whose output and exit status the shell sees as the tool's, and once with
Debian's OpenJDK running the tool's real main class.

Before the runs, it brands the example's exe with corvane-brand: the
example's own icon (examples/branding/viewer.ico) and a version record. It
prints what `corvane-brand --show` reads back next to what Windows reads of
the installed exe (GetFileVersionInfoW and shell32's icon calls, under Wine);
the three runs then start the branded exe.
"""
import signal
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness.branding import BRAND_TOOL, ICON_PATH, Brand  # noqa: E402
from harness.builds import runnable_builds  # noqa: E402
from harness.case import STANDARD, Case, run_case  # noqa: E402
from harness.world import DIRECTORY, Registry, Runtime, wine_world  # noqa: E402

APPLICATION = REPO / "examples" / "viewer"
INSTALLED_AT = r"C:\Program Files\Example Viewer"
ONLY_OLD_JAVA = Registry((Runtime("1.4.2_03", r"C:\Java\j2re1.4.2_03"),), current="1.4.2_03")
REAL_JAVA_SOURCES = REPO / "examples" / "openjdk"
REAL_JAVA = Path("/usr/bin/java")
J142_08_HOME = r"C:\Program Files\Java\j2re1.4.2_08"
REPORT_SECONDS = 60
EXAMPLE_BRAND = Brand(
    options=("--product-name", "Example Viewer", "--company", "Example Ltd",
             "--file-version", "2.1.0", "--product-version", "2.1",
             "--copyright", "(c) 2026 Example Ltd", "--description", "Example Viewer"),
    icon=(REPO / "examples" / "branding" / "viewer.ico").read_bytes())


def application_files() -> dict:
    """The example's tree as app-relative Windows paths."""
    files = {}
    for path in sorted(APPLICATION.rglob("*")):
        name = str(path.relative_to(APPLICATION)).replace("/", "\\")
        files[name] = DIRECTORY if path.is_dir() else path.read_bytes()
    return files


def describe_registry(registry: Registry) -> list[str]:
    lines = [f"    {r.version:10} JavaHome {r.home}" +
             (f" (its bin\\java.exe and bin\\javaw.exe link to {r.stand_in})"
              if r.stand_in.startswith("/") else "") for r in registry.runtimes]
    return lines + [f"    CurrentVersion {registry.current}"]


def show(title: str, case: Case, world) -> bool:
    """Runs the case and prints what happened; True when Java was started."""
    print(f"\n=== {world.build.tag} {title}")
    return show_outcome(case, start(case, world))


def start(case: Case, world):
    print("Installed Java runtimes (registry):", *describe_registry(case.registry), sep="\n")
    print("Environment:", *[f"    {k}={v}" for k, v in case.env.items()], sep="\n")
    print(f"Started: {case.absolute(case.exe)} {' '.join(case.args)}")
    return run_case(world, case)


def show_outcome(case: Case, outcome) -> bool:
    run = outcome.run
    print(f"Launcher exit status: {run.status}")
    for name, data in (("standard output", run.stdout), ("standard error", run.stderr)):
        text = data.decode("latin-1").replace("\r\n", "\n")
        print(f"Launcher {name}:" + ("".join(f"\n    {line}" for line in text.splitlines())
                                      or " (nothing)"))
    print("Message boxes:" + (" none" if not outcome.boxes else ""))
    for box in outcome.boxes:
        print(f"    [{box['caption']}] buttons {box['buttons']}, answered {box['answer']}")
        print("".join(f"        {line}\n" for line in box["text"].splitlines()), end="")
    print("Pages opened:", ", ".join(outcome.browser) or "none")
    for java in outcome.java:
        print(f"Java started: {java['image']}")
        print(f"    command line      {java['commandLine']}")
        print(f"    current directory {java['cwd']}")
        print(f"    window title      {java.get('title', '(none)')}")
        print("    arguments as Java sees them:")
        print("".join(f"        {i}. {arg}\n" for i, arg in enumerate(java["args"][1:], 1)), end="")
    if not outcome.java:
        print("Java was not started.")
    return bool(outcome.java)


def compile_real_main(out_dir: Path) -> Path:
    """The real main class, compiled by the JRE's own compiler module (no JDK
    needed); returns the classes directory."""
    classes = out_dir / "classes"
    sources = sorted(REAL_JAVA_SOURCES.rglob("*.java"))
    subprocess.run([str(REAL_JAVA), "-m", "jdk.compiler/com.sun.tools.javac.Main", "-d",
                    str(classes), *map(str, sources)], check=True)
    return classes


def class_files(classes: Path) -> dict:
    return {"classes\\" + str(path.relative_to(classes)).replace("/", "\\"): path.read_bytes()
            for path in sorted(classes.rglob("*.class"))}


def read_report(path: Path) -> list[str] | None:
    """The real Java's report once it is complete, waiting for it a bounded time."""
    deadline = time.monotonic() + REPORT_SECONDS
    while time.monotonic() < deadline:
        lines = path.read_text().splitlines() if path.exists() else []
        if lines[-1:] == ["end"]:
            return lines[:-1]
        time.sleep(0.1)
    return None


def show_real_java(world, settings: dict, classes: Path) -> bool:
    """The same start twice, with the stand-in and with Debian's OpenJDK as
    the Java of 1.4.2_08; True when OpenJDK reported."""
    print(f"\n=== {world.build.tag} The same start with a real Java: Debian's OpenJDK "
          "as the Java of 1.4.2_08")
    print(f"Configuration: {(REAL_JAVA_SOURCES / 'viewer.config').relative_to(REPO)}, "
          "viewer.config with a class path of one entry (no addjars): Linux Java splits a "
          "class path at ':', so the Windows ';' would hide the classes from it.")
    report = world.session.root / "java-report.txt"
    files = {name: content for name, content in settings["files"].items()
             if name != "viewer.config"}
    settings = dict(settings, config=(REAL_JAVA_SOURCES / "viewer.config").read_text(),
                    files={**files, **class_files(classes)},
                    env={**settings["env"], "VIEWER_REPORT": str(report)})
    print("\n--- with the stand-in Java program")
    stand_in = Registry((Runtime("1.4.2_08", J142_08_HOME),), current="1.4.2")
    case = Case("stand-in", registry=stand_in, **settings)
    show_outcome(case, start(case, world))
    print("\n--- with OpenJDK")
    report.unlink(missing_ok=True)  # what is shown must come from this run
    openjdk = Registry((Runtime("1.4.2_08", J142_08_HOME, str(REAL_JAVA)),), current="1.4.2")
    outcome = start(Case("openjdk", registry=openjdk, **settings), world)
    print(f"Launcher exit status: {outcome.run.status}; message boxes: "
          f"{len(outcome.boxes) or 'none'}. Wine gives the launcher no process handle for a "
          "Linux program, so the launcher could not wait for Java nor read its exit code, "
          "and says so:")
    for box in outcome.boxes:
        print(f"    [{box['caption']}] " + " / ".join(box["text"].splitlines()))
    print("(259 is what Windows gives for a process not seen to end.) This script waits for "
          f"Java's report itself (at most {REPORT_SECONDS} s).")
    received = read_report(report)
    if received is None:
        print("OpenJDK did not report.")
        return False
    print("OpenJDK received, as it printed it:", *[f"    {line}" for line in received],
          sep="\n")
    return True


TOOL = REPO / "examples" / "tool"
TOOL_AT = r"C:\Program Files\Line Counter"
TOOL_INPUT = b"first\nsecond\nthird\n"
TOOL_STATUS = 3


def show_shell_view(run):
    """What the shell that started the console launcher saw of it."""
    print(f"The shell saw: exit status {run.status}")
    for name, data in (("standard output", run.stdout), ("standard error", run.stderr)):
        text = data.decode("utf-8", "replace").replace("\r\n", "\n")
        print(f"    {name}:" + ("".join(f"\n        {line}" for line in text.splitlines())
                                 or " (nothing)"))


def show_console_tool(world, classes: Path) -> bool:
    """The tool through the console launcher, with the stand-in and with
    OpenJDK; True when both gave the tool's output."""
    config = (TOOL / "count.config").read_text()
    print(f"\n=== {world.build.tag} A command-line tool through the console launcher: "
          f"launcherc.exe installed as {TOOL_AT}\\count.exe")
    print("count.config:", *[f"    {line}" for line in config.splitlines()], sep="\n")
    print(f"Started from the shell: {TOOL_AT}\\count.exe first-arg, "
          f"its standard input a pipe with {TOOL_INPUT!r}")
    settings = dict(console_launcher=True, exe="count.exe", app_dir=TOOL_AT, config=config,
                    args=["first-arg"], stdin=TOOL_INPUT)
    print("\n--- with the stand-in Java program, which copies its input to its output, "
          f"writes a line to its error and ends with {TOOL_STATUS}")
    outcome = run_case(world, Case("tool, stand-in", registry=STANDARD, java_echo=True,
                                   java_stderr="stand-in: done\n", java_exit=TOOL_STATUS,
                                   **settings))
    show_shell_view(outcome.run)
    print(f"Message boxes: {len(outcome.boxes) or 'none'}")
    for java in outcome.java:
        print(f"Java started: {java['commandLine']}")
    passed = outcome.run.status == TOOL_STATUS and outcome.run.stdout == TOOL_INPUT
    print("\n--- with OpenJDK as the java.exe of 1.4.2_08, running com.example.tool.Count")
    openjdk = Registry((Runtime("1.4.2_08", J142_08_HOME, str(REAL_JAVA)),), current="1.4.2")
    outcome = run_case(world, Case("tool, openjdk", registry=openjdk, start="parent",
                                   files=class_files(classes), **settings))
    show_shell_view(outcome.run)
    status = outcome.parent["exitCode"] if outcome.parent else "unknown"
    print(f"Wine gives the launcher no process handle for a Linux program, so the launcher "
          f"could not wait for OpenJDK nor pass its exit status on ({TOOL_STATUS} here, for "
          f"three lines). Its own status, as a Windows parent read it, is {status}: 259, what "
          "Windows gives for a process not seen to end, with the line on standard error that "
          "says so (Wine hands the shell only the low 8 bits of it). The rest of the output "
          "above is OpenJDK's own, on the handles it shares with the launcher.")
    return passed and b"3 lines" in outcome.run.stdout


def brand_command(brand: Brand) -> str:
    quoted = [f'"{option}"' if " " in option else option for option in brand.options]
    return ("corvane-brand launcher.exe viewer.exe --icon examples/branding/viewer.ico " +
            " ".join(quoted))


def windows_view(properties: dict) -> list[str]:
    """What Windows read, in the words of --show."""
    strings = [(key.removeprefix("string."), value) for key, value in properties.items()
               if key.startswith("string.")]
    return ([f"  file version {properties.get('fileVersion')}, product version "
             f"{properties.get('productVersion')}, translation {properties.get('translation')}"] +
            [f"  {name}: {value}" for name, value in strings] +
            [f"  icons: {properties.get('icons')}; the first, at 32x32 through ExtractIconExW: "
             f"{properties.get('extractIconEx')}; through ExtractIconW: "
             f"{properties.get('extractIcon')} (\"same\": the pixels of viewer.ico)"])


def show_branding(world, brand: Brand) -> bool:
    """Brands the example's exe, installs it and prints what --show reads back
    next to what Windows reads; True when both read the same strings."""
    print(f"\n=== {world.build.tag} The example's exe, branded\n{brand_command(brand)}")
    exe = INSTALLED_AT + "\\viewer.exe"
    world.put(exe, world.branded("viewer.exe", brand))
    world.put(ICON_PATH, brand.icon)
    try:
        shown = subprocess.run([str(BRAND_TOOL), "--show", str(world.session.unix_path(exe))],
                               capture_output=True, text=True, check=True).stdout
        records = world.file_properties(exe, ICON_PATH)
    finally:
        world.clean()
    properties = records[0] if records else {}
    without_manifest = shown.split("\nmanifest")[0]
    print("corvane-brand --show reads back (the manifest's text left out here):",
          *[f"  {line}" for line in without_manifest.splitlines()], sep="\n")
    print("Windows reads (GetFileVersionInfoW / VerQueryValueW, ExtractIconExW, ExtractIconW):",
          *windows_view(properties), sep="\n")
    read_back = {line.split(": ", 1)[0].split()[-1]: line.split(": ", 1)[1]
                 for line in without_manifest.splitlines() if line.startswith("  040904B0 ")}
    windows = {key.removeprefix("string."): value for key, value in properties.items()
               if key.startswith("string.")}
    same = read_back == windows and properties.get("extractIconEx") == "32x32 same"
    print("Both read the same strings, and Windows shows the example's icon." if same else
          "--show and Windows differ.")
    return same


def main() -> int:
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(f"stopped by signal {signum}"))
    answer = runnable_builds()
    print(*answer.describe(), sep="\n")
    settings = dict(exe="viewer.exe", app_dir=INSTALLED_AT, config=None,
                    files=application_files(), args=["report.txt"],
                    env={"VIEWER_HOME": INSTALLED_AT}, brand=EXAMPLE_BRAND)
    print(f"Example application {APPLICATION.relative_to(REPO)}, installed as "
          f"{INSTALLED_AT}\\viewer.exe\nviewer.config:")
    config = (APPLICATION / "viewer.config").read_text()
    print("".join(f"    {line}\n" for line in config.splitlines()), end="")
    classes = compile_real_main(REPO / "build" / "example-java")
    succeeded = True
    with wine_world(REPO / "build" / "e2e") as world:
        for build in answer.runnable:
            world.use(build)
            succeeded &= show_branding(world, EXAMPLE_BRAND)
            succeeded &= show("Java 1.4.2_08 installed (the branded exe)",
                              Case("installed", registry=STANDARD, **settings), world)
            show("Only Java 1.4.2_03 installed; the user answers Yes",
                 Case("too old", registry=ONLY_OLD_JAVA,
                      answers={"Incompatible JRE Version Found": "yes"}, **settings), world)
            succeeded &= show_real_java(world, settings, classes)
            succeeded &= show_console_tool(world, classes)
    print("\nThe example ran on: " + ", ".join(build.name for build in answer.runnable))
    return 0 if succeeded else 1


if __name__ == "__main__":
    sys.exit(main())
