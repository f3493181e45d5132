#!/usr/bin/env python3
"""End-to-end tests of build/win32/launcher.exe under Wine.

    python3 tests/e2e/run_e2e.py [-k TEXT] [--exe PATH]

Checks the executable's file, then runs every case in one private Wine
prefix on its own Xvfb display. Exit status 1 when any check or case fails.
"""
import argparse
import signal
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(Path(__file__).resolve().parent))

from cases import CASES, STATIC_CHECKS  # noqa: E402
from harness.case import check, run_case  # noqa: E402
from harness.world import wine_world  # noqa: E402

REPO = Path(__file__).resolve().parents[2]


def terminate(signum, frame):
    raise SystemExit(f"stopped by signal {signum}")


def report(name: str, problems: list[str], seconds: float, details: str = "") -> bool:
    print(f"{'ok  ' if not problems else 'FAIL'} {name} ({seconds:.1f} s)", flush=True)
    for problem in problems:
        print(f"     - {problem}")
    if problems and details:
        print("     what happened:\n" + details)
    return not problems


def static_checks(exe: Path, selected) -> list[bool]:
    results = []
    for name, check_exe in STATIC_CHECKS:
        name = f"executable: {name}"
        if selected(name):
            started = time.monotonic()
            problems = check_exe(exe)
            results.append(report(name, problems, time.monotonic() - started))
    return results


def wine_cases(exe: Path, selected) -> list[bool]:
    cases = [case for case in CASES if selected(case.name)]
    if not cases:
        return []
    results = []
    started = time.monotonic()
    with wine_world(exe, REPO / "build" / "e2e") as world:
        print(f"Wine prefix ready on display {world.session.display} "
              f"({time.monotonic() - started:.1f} s)", flush=True)
        for case in cases:
            started = time.monotonic()
            outcome = run_case(world, case)
            results.append(report(case.name, check(case, outcome),
                                  time.monotonic() - started, outcome.describe()))
    return results


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-k", dest="words", default="",
                        help="run only the checks and cases whose name contains this text")
    parser.add_argument("--exe", type=Path, default=REPO / "build" / "win32" / "launcher.exe")
    options = parser.parse_args()
    signal.signal(signal.SIGTERM, terminate)
    if not options.exe.exists():
        print(f"{options.exe} is missing: build the win32 preset first", file=sys.stderr)
        return 1

    def selected(name: str) -> bool:
        return options.words in name

    started = time.monotonic()
    results = static_checks(options.exe, selected) + wine_cases(options.exe, selected)
    failed = results.count(False)
    print(f"\n{len(results) - failed} passed, {failed} failed "
          f"in {time.monotonic() - started:.0f} s")
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
