"""The launcher's two builds, and which of them this machine can run under
Wine, as scripts/wine_builds.sh tells.

Every Wine program runs through the 64-bit loader, in a 64-bit prefix: there a
64-bit program reads HKLM\\SOFTWARE through the 64-bit view, and a 32-bit one
(where the kernel runs 32-bit code at all) through the 32-bit view, which is
HKLM\\SOFTWARE\\Wow6432Node, as on 64-bit Windows. Debian's `wine`, `wineboot`
and `regedit` scripts would pick the 32-bit loader, so nothing here uses them.
"""
import subprocess
from dataclasses import dataclass
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
PROBE = REPO / "scripts" / "wine_builds.sh"
WINE64 = "/usr/lib/wine/wine64"
WINESERVER64 = "/usr/lib/wine/wineserver64"


@dataclass(frozen=True)
class Build:
    name: str                       # the preset, and the tag of every line about it
    triplet: str                    # of its mingw-w64 toolchain
    file_format: str
    machine: int                    # of the PE file header
    magic: int                      # of the optional header
    subsystem_version: tuple[int, int]
    software: str                   # HKLM\SOFTWARE of its programs, as 64-bit ones see it

    @property
    def exe(self) -> Path:
        return REPO / "build" / self.name / "launcher.exe"

    @property
    def console_exe(self) -> Path:
        """The console launcher, for command-line tools."""
        return REPO / "build" / self.name / "launcherc.exe"

    @property
    def service_exe(self) -> Path:
        """The service launcher, for Java applications run as Windows services."""
        return REPO / "build" / self.name / "launchersvc.exe"

    @property
    def tag(self) -> str:
        return f"[{self.name}]"

    def tool(self, name: str) -> str:
        return f"{self.triplet}-{name}"


WIN32 = Build("win32", "i686-w64-mingw32", "PE32 i386", 0x14C, 0x10B, (4, 0),
              r"SOFTWARE\Wow6432Node")
WIN64 = Build("win64", "x86_64-w64-mingw32", "PE32+ x86-64", 0x8664, 0x20B, (5, 2), "SOFTWARE")
BUILDS = (WIN32, WIN64)


@dataclass
class Answer:
    runnable: list[Build]
    not_run: dict[str, str]         # build name -> why it is not run

    def describe(self) -> list[str]:
        return [f"{build.tag} runs under Wine here" if build in self.runnable else
                f"{build.tag} not run: {self.not_run[build.name]}" for build in BUILDS]


def runnable_builds() -> Answer:
    """Asks the probe; a CORVANE_BUILDS that asks for what cannot run ends the program."""
    result = subprocess.run([str(PROBE)], capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(result.stdout + result.stderr)
    answer = Answer([], {})
    by_name = {build.name: build for build in BUILDS}
    for line in result.stdout.splitlines():
        name, verdict = line.split(": ", 1)
        if verdict == "runs":
            answer.runnable.append(by_name[name])
        else:
            answer.not_run[name] = verdict.removeprefix("not run: ")
    return answer
