#!/usr/bin/env python3
"""End-to-end tests of the launchers of build/win32 and build/win64 under Wine.

    python3 tests/e2e/run_e2e.py [-k TEXT]

Checks the files of each build (launcher.exe, launcherc.exe, the console
launcher, and launchersvc.exe, the service launcher), then runs every case with each build that this machine can run
(scripts/wine_builds.sh; CORVANE_BUILDS narrows it), in one private 64-bit
Wine prefix on its own Xvfb display. Every line names its build. Exit status 1 when any check or case fails, or nothing was run.
"""
import argparse
import re
import signal
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(Path(__file__).resolve().parent))

from cases import CASES, STATIC_CHECKS  # noqa: E402
from harness.builds import BUILDS, runnable_builds  # noqa: E402
from harness.case import check, run_case  # noqa: E402
from harness.lifetime import Lifetime, run_lifetime  # noqa: E402
from harness.service import ServiceCase, run_service  # noqa: E402
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


def static_checks(selected) -> dict[str, list[bool]]:
    """Every build's file is checked, whether or not it can run here."""
    results = {}
    for build in BUILDS:
        for exe, kind in ((build.exe, "gui"), (build.console_exe, "console"),
                          (build.service_exe, "service")):
            label = {"gui": "executable", "console": "console executable",
                     "service": "service executable"}[kind]
            for name, check_exe in STATIC_CHECKS(build, kind):
                name = f"{build.tag} {label}: {name}"
                if not selected(name):
                    continue
                started = time.monotonic()
                problems = check_exe(exe) if exe.exists() else \
                    [f"{exe} is missing: build the {build.name} preset first"]
                results.setdefault(build.name, []).append(
                    report(name, problems, time.monotonic() - started))
    return results


# Wine's CreateProcessW, now and then under load, fails a start with
# ERROR_INTERNAL_ERROR (1359): the new process did not come up. No code of the
# launcher's gives it. A case whose run shows it is run once more, and says so.
WINE_START_FAULT = re.compile(r"Error=1359\b|error 1359\b")


def run_one(world, case):
    """The case's outcome and its problems."""
    if isinstance(case, Lifetime):
        outcome = run_lifetime(world, case)
        return outcome, outcome.problems
    if isinstance(case, ServiceCase):
        outcome = run_service(world, case)
        return outcome, outcome.problems
    outcome = run_case(world, case)
    return outcome, check(case, outcome)


def wine_cases(builds, selected, not_run: dict[str, str]) -> dict[str, list[bool | None]]:
    """Each case's result by build: passed, failed, or None when the case
    needs a build this machine cannot run."""
    chosen = [(build, [case for case in CASES if selected(f"{build.tag} {case.name}")])
              for build in builds if build.exe.exists() and build.console_exe.exists()
              and build.service_exe.exists()]
    chosen = [(build, cases) for build, cases in chosen if cases]
    if not chosen:
        return {}
    results = {}
    started = time.monotonic()
    with wine_world(REPO / "build" / "e2e") as world:
        print(f"64-bit Wine prefix ready on display {world.session.display} "
              f"({time.monotonic() - started:.1f} s)", flush=True)
        for build, cases in chosen:
            world.use(build)
            for case in cases:
                missing = [name for name in case.needs if name in not_run]
                if missing:
                    print(f"NOT RUN {build.tag} {case.name}: needs {missing[0]} code, "
                          f"not run: {not_run[missing[0]]}", flush=True)
                    results.setdefault(build.name, []).append(None)
                    continue
                started = time.monotonic()
                outcome, problems = run_one(world, case)
                name = f"{build.tag} {case.name}"
                if problems and WINE_START_FAULT.search(outcome.describe()):
                    print(f"AGAIN {name}: Wine failed a process start with error 1359",
                          flush=True)
                    outcome, problems = run_one(world, case)
                results.setdefault(build.name, []).append(
                    report(name, problems, time.monotonic() - started, outcome.describe()))
    return results


def summary(static: dict, cases: dict, not_run: dict[str, str]) -> list[str]:
    lines = []
    for build in BUILDS:
        checked, ran = static.get(build.name, []), cases.get(build.name, [])
        line = (f"{build.tag} {build.file_format} exe: checked statically "
                f"({checked.count(True)} of {len(checked)} file checks passed); ")
        if build.name in not_run:
            line += f"end-to-end cases not run, as this exe cannot run here: {not_run[build.name]}"
        else:
            line += f"ran {len(ran) - ran.count(None)} end-to-end cases under Wine " \
                    f"({ran.count(True)} passed)"
            if None in ran:
                line += f"; {ran.count(None)} not run, as they need code of a build not run"
        lines.append(line)
    ran = [build.name for build in BUILDS
           if any(result is not None for result in cases.get(build.name, []))]
    lines.append("End-to-end cases ran on: " + (", ".join(ran) or "no build"))
    return lines


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-k", dest="words", default="",
                        help="run only the checks and cases whose name contains this text")
    options = parser.parse_args()
    signal.signal(signal.SIGTERM, terminate)

    def selected(name: str) -> bool:
        return options.words in name

    started = time.monotonic()
    answer = runnable_builds()
    print(*answer.describe(), sep="\n", flush=True)
    static = static_checks(selected)
    cases = wine_cases(answer.runnable, selected, answer.not_run)
    results = [result for group in (static, cases) for value in group.values()
               for result in value]
    passed, failed, not_run = results.count(True), results.count(False), results.count(None)
    print("", *summary(static, cases, answer.not_run), sep="\n")
    print(f"{passed} passed, {failed} failed" + (f", {not_run} skipped" if not_run else "") +
          f" in {time.monotonic() - started:.0f} s")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
