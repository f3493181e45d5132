"""Checks of the launcher's file itself, for either build and for the console
launcher: PE header, imports, size, identification text and icon resources."""
import re
import struct
import subprocess
import tempfile
from functools import partial
from pathlib import Path

from harness.builds import Build

MAX_SIZE = 128 * 1024
ALLOWED_IMPORTS = {"KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}
IDENTIFICATION = re.compile(
    rb"@\(#\)app/Corvane\.cpp Version: 1\.0\.8 Compiled: "
    rb"[A-Z][a-z]{2} [ \d]\d \d{4} at \d\d:\d\d:\d\d\0")
# group -> (width, height, bits per pixel) of its one image
ICON_GROUPS = {101: (64, 64, 8), 102: (32, 32, 8), 103: (32, 32, 8),
               **{group: (32, 32, 4) for group in (104, 105, 106, 107, 108, 112)},
               111: (32, 32, 24), 113: (17, 17, 8)}
RT_ICON, RT_GROUP_ICON = 3, 14


def pe_header(build: Build, exe: Path, console: bool = False) -> list[str]:
    data = exe.read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return ["no PE signature"]
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    major, minor = struct.unpack_from("<HH", data, optional + 48)
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    problems = []
    if machine != build.machine:
        problems.append(f"machine {machine:#x}, not {build.machine:#x}")
    if magic != build.magic:
        problems.append(f"optional header magic {magic:#x}, not {build.magic:#x}")
    wanted = (3, "Windows console") if console else (2, "Windows GUI")
    if subsystem != wanted[0]:
        problems.append(f"subsystem {subsystem}, not {wanted[1]} ({wanted[0]})")
    if (major, minor) != build.subsystem_version:
        problems.append(f"subsystem version {major}.{minor}, not {version(build)}")
    return problems


def version(build: Build) -> str:
    return "%d.%d" % build.subsystem_version


def imports(build: Build, exe: Path) -> list[str]:
    dump = subprocess.run([build.tool("objdump"), "-p", str(exe)], check=True,
                          capture_output=True, text=True).stdout
    dlls = {name.upper() for name in re.findall(r"DLL Name: (\S+)", dump)}
    if not dlls:
        return ["no imports found"]
    extra = dlls - ALLOWED_IMPORTS
    return [f"imports {sorted(extra)}"] if extra else []


def size(exe: Path) -> list[str]:
    length = exe.stat().st_size
    return [f"{length} bytes, more than {MAX_SIZE}"] if length > MAX_SIZE else []


def identification(exe: Path) -> list[str]:
    found = IDENTIFICATION.findall(exe.read_bytes())
    return [] if len(found) == 1 else [f"identification text found {len(found)} times"]


def resources(exe: Path) -> list[str]:
    listing = subprocess.run(["wrestool", "-l", str(exe)], check=True,
                             capture_output=True, text=True).stdout
    entries = re.findall(r"--type=(\d+) --name=(\d+)", listing)
    problems = [f"resource of type {kind}, only icons belong there"
                for kind in sorted({int(kind) for kind, _ in entries} - {RT_ICON, RT_GROUP_ICON})]
    groups = [int(name) for kind, name in entries if int(kind) == RT_GROUP_ICON]
    if groups != sorted(ICON_GROUPS):
        problems.append(f"icon groups {groups}, expected {sorted(ICON_GROUPS)}")
    with tempfile.TemporaryDirectory() as scratch:
        for group, (width, height, depth) in ICON_GROUPS.items():
            if group not in groups:
                continue
            ico = Path(scratch) / f"{group}.ico"
            subprocess.run(["wrestool", "-x", f"--type={RT_GROUP_ICON}", f"--name={group}",
                            "-o", str(ico), str(exe)], check=True)
            images = subprocess.run(["icotool", "-l", str(ico)], check=True,
                                    capture_output=True, text=True).stdout.splitlines()
            wanted = f"--width={width} --height={height} --bit-depth={depth}"
            if len(images) != 1 or wanted not in images[0]:
                problems.append(f"icon group {group}: {images}, expected one image {wanted}")
    return problems


def resource_listing(exe: Path) -> list[str]:
    listing = subprocess.run(["wrestool", "-l", str(exe)], check=True,
                             capture_output=True, text=True).stdout
    return [line.split(" ", 1)[1] for line in listing.splitlines()]


def same_resources(gui_exe: Path, exe: Path) -> list[str]:
    """The console launcher carries the GUI launcher's resources, each alike."""
    if not gui_exe.exists():
        return [f"{gui_exe} is missing"]
    ours, theirs = resource_listing(exe), resource_listing(gui_exe)
    return [] if ours == theirs else [f"resources {ours}, not {theirs} as {gui_exe.name}'s"]


def checks(build: Build, console: bool = False) -> list:
    """(name, check of an exe file) for the given build's launcher, or its
    console launcher."""
    if console:
        return [
            (f"{build.file_format}, console subsystem {version(build)}",
             partial(pe_header, build, console=True)),
            *checks(build)[1:],
            (f"the same resources as {build.exe.name}", partial(same_resources, build.exe)),
        ]
    return [
        (f"{build.file_format}, GUI subsystem {version(build)}", partial(pe_header, build)),
        ("imports only kernel32, user32, advapi32 and msvcrt", partial(imports, build)),
        ("at most 128 KiB", size),
        ("identification text", identification),
        ("eleven icon groups and nothing else", resources),
    ]
