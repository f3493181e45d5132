"""Builds the helper programs with mingw-w64 (i686) when their sources changed."""
import subprocess
from pathlib import Path

SOURCES = Path(__file__).resolve().parent.parent / "helpers"
COMPILER = "i686-w64-mingw32-gcc"

# output name -> (source, subsystem, libraries)
PROGRAMS = {
    "box_watcher.exe": ("box_watcher.c", "-mconsole", ["-luser32"]),
    "java.exe": ("fake_java.c", "-mconsole", []),
    "javaw.exe": ("fake_java.c", "-mwindows", []),
}


def build_helpers(out_dir: Path) -> dict[str, Path]:
    out_dir.mkdir(parents=True, exist_ok=True)
    built = {}
    for name, (source, subsystem, libraries) in PROGRAMS.items():
        target = out_dir / name
        inputs = [SOURCES / source, SOURCES / "record.h"]
        if not target.exists() or any(p.stat().st_mtime > target.stat().st_mtime for p in inputs):
            subprocess.run([COMPILER, "-std=c99", "-O2", "-s", "-Wall", "-Wextra", "-Werror",
                            subsystem, "-o", str(target), str(inputs[0]), *libraries],
                           check=True)
        built[name] = target
    return built
