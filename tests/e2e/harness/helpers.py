"""Builds the helper programs with mingw-w64 when their sources changed: each
of them for each build, in build/e2e/<build>/. The watcher, the Windows
parent and the stand-ins that cases use by default are the 64-bit ones, which
run on every machine."""
import subprocess
from pathlib import Path

from .builds import BUILDS

SOURCES = Path(__file__).resolve().parent.parent / "helpers"

# output name -> (source, subsystem, libraries)
PROGRAMS = {
    "box_watcher.exe": ("box_watcher.c", "-mconsole", ["-luser32"]),
    "java.exe": ("fake_java.c", "-mconsole", []),
    "javaw.exe": ("fake_java.c", "-mwindows", []),
    "parent.exe": ("parent.c", "-mconsole", []),
    "file_properties.exe": ("file_properties.c", "-mconsole",
                            ["-municode", "-lversion", "-lshell32", "-lgdi32", "-luser32"]),
}


def build_helpers(out_dir: Path) -> dict[tuple[str, str], Path]:
    """(build name, program name) -> the built program."""
    built = {}
    for build in BUILDS:
        build_dir = out_dir / build.name
        build_dir.mkdir(parents=True, exist_ok=True)
        for name, (source, subsystem, libraries) in PROGRAMS.items():
            target = build_dir / name
            inputs = [SOURCES / source, SOURCES / "record.h"]
            if not target.exists() or any(p.stat().st_mtime > target.stat().st_mtime
                                          for p in inputs):
                subprocess.run([build.tool("gcc"), "-std=c99", "-O2", "-s", "-Wall", "-Wextra",
                                "-Werror", subsystem, "-o", str(target), str(inputs[0]),
                                *libraries], check=True)
            built[build.name, name] = target
    return built
