#!/usr/bin/env python3
"""Runs the example application (examples/viewer) through build/win32/launcher.exe
under Wine and shows what the launcher did: the Java command it started (as a
stand-in java program recorded it), its message boxes, output and exit status.

    python3 examples/run_example.py

Two runs: one with a suitable Java runtime installed, and one where only an
older 1.4.2 release is, which the launcher answers with its download prompt
(answered Yes: the download page is opened).
"""
import signal
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness.case import STANDARD, Case, run_case  # noqa: E402
from harness.world import DIRECTORY, Registry, Runtime, wine_world  # noqa: E402

APPLICATION = REPO / "examples" / "viewer"
INSTALLED_AT = r"C:\Program Files\Example Viewer"
ONLY_OLD_JAVA = Registry((Runtime("1.4.2_03", r"C:\Java\j2re1.4.2_03"),), current="1.4.2_03")


def application_files() -> dict:
    """The example's tree as app-relative Windows paths."""
    files = {}
    for path in sorted(APPLICATION.rglob("*")):
        name = str(path.relative_to(APPLICATION)).replace("/", "\\")
        files[name] = DIRECTORY if path.is_dir() else path.read_bytes()
    return files


def describe_registry(registry: Registry) -> list[str]:
    lines = [f"    {r.version:10} JavaHome {r.home}" for r in registry.runtimes]
    return lines + [f"    CurrentVersion {registry.current}"]


def show(title: str, case: Case, world) -> bool:
    """Runs the case and prints what happened; True when Java was started."""
    print(f"\n=== {title}")
    print("Installed Java runtimes (registry):", *describe_registry(case.registry), sep="\n")
    print("Environment:", *[f"    {k}={v}" for k, v in case.env.items()], sep="\n")
    print(f"Started: {case.absolute(case.exe)} {' '.join(case.args)}")
    outcome = run_case(world, case)
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


def main() -> int:
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(f"stopped by signal {signum}"))
    launcher = REPO / "build" / "win32" / "launcher.exe"
    settings = dict(exe="viewer.exe", app_dir=INSTALLED_AT, config=None,
                    files=application_files(), args=["report.txt"],
                    env={"VIEWER_HOME": INSTALLED_AT})
    print(f"Example application {APPLICATION.relative_to(REPO)}, installed as "
          f"{INSTALLED_AT}\\viewer.exe\nviewer.config:")
    config = (APPLICATION / "viewer.config").read_text()
    print("".join(f"    {line}\n" for line in config.splitlines()), end="")
    with wine_world(launcher, REPO / "build" / "e2e") as world:
        launched = show("Java 1.4.2_08 installed", Case("installed", registry=STANDARD, **settings),
                        world)
        show("Only Java 1.4.2_03 installed; the user answers Yes",
             Case("too old", registry=ONLY_OLD_JAVA,
                  answers={"Incompatible JRE Version Found": "yes"}, **settings), world)
    return 0 if launched else 1


if __name__ == "__main__":
    sys.exit(main())
