"""Checks of the launcher's file itself, for either build and for the console
and service launchers: PE header, imports, size, identification text, icon
resources, manifest, and the service launcher's message table."""
import re
import struct
import subprocess
import tempfile
import xml.etree.ElementTree as ElementTree
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
RT_ICON, RT_MESSAGETABLE, RT_GROUP_ICON, RT_MANIFEST = 3, 11, 14, 24
ASM_V1, ASM_V3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
# Windows Vista, 7, 8, 8.1, and 10 and 11
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                   "version": "6.0.0.0", "processorArchitecture": "*",
                   "publicKeyToken": "6595b64144ccf1df", "language": "*"}


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
    entries = re.findall(r"--type=(\d+) --name=(\d+) --language=(\d+)", listing)
    problems = [f"resource of type {kind}, only icons and the manifest belong there"
                for kind in sorted({int(kind) for kind, _, _ in entries} -
                                   {RT_ICON, RT_GROUP_ICON, RT_MANIFEST})]
    manifests = [(int(name), int(language)) for kind, name, language in entries
                 if int(kind) == RT_MANIFEST]
    if manifests != [(1, 0)]:
        problems.append(f"manifests (id, language) {manifests}, expected [(1, 0)]")
    groups = [int(name) for kind, name, _ in entries if int(kind) == RT_GROUP_ICON]
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
    """Each resource's name, language, type and size, without where it lies
    in the file: the two exes' code differs in size, and so may the address
    of their resources."""
    listing = subprocess.run(["wrestool", "-l", str(exe)], check=True,
                             capture_output=True, text=True).stdout
    return [re.sub(r"offset=0x[0-9a-f]+ ?", "", line.split(" ", 1)[1])
            for line in listing.splitlines()]


def resource_bytes(exe: Path) -> bytes:
    return subprocess.run(["wrestool", "-x", "--raw", str(exe)], check=True,
                          capture_output=True).stdout


def same_resources(gui_exe: Path, exe: Path) -> list[str]:
    """The console launcher carries the GUI launcher's resources, each alike."""
    if not gui_exe.exists():
        return [f"{gui_exe} is missing"]
    ours, theirs = resource_listing(exe), resource_listing(gui_exe)
    if ours != theirs:
        return [f"resources {ours}, not {theirs} as {gui_exe.name}'s"]
    same = resource_bytes(exe) == resource_bytes(gui_exe)
    return [] if same else [f"the resources' bytes differ from {gui_exe.name}'s"]


def resource_entries(exe: Path) -> list[tuple[int, int, int]]:
    listing = subprocess.run(["wrestool", "-l", str(exe)], check=True,
                             capture_output=True, text=True).stdout
    return [tuple(map(int, entry))
            for entry in re.findall(r"--type=(\d+) --name=(\d+) --language=(\d+)", listing)]


def raw_resource(exe: Path, kind: int, name: int) -> bytes:
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", str(exe)],
                          check=True, capture_output=True).stdout


def service_resources(gui_exe: Path, exe: Path) -> list[str]:
    """The GUI launcher's first icon group (101, the shell's) with its image,
    a manifest, and a message table (type 11, id 1, neutral) whose one
    message, id 1, is "%1": the text of an event as written, with the line
    end the message compiler adds."""
    if not gui_exe.exists():
        return [f"{gui_exe} is missing"]
    ours = resource_entries(exe)
    wanted = sorted([(RT_ICON, 1, 1033), (RT_MESSAGETABLE, 1, 0), (RT_GROUP_ICON, 101, 1033),
                     (RT_MANIFEST, 1, 0)])
    if sorted(ours) != wanted:
        return [f"resources {ours}, not {wanted}"]
    if any(raw_resource(exe, kind, name) != raw_resource(gui_exe, kind, name)
           for kind, name in ((RT_GROUP_ICON, 101), (RT_ICON, 1))):
        return [f"icon group 101 or its image is not {gui_exe.name}'s"]
    data = raw_resource(exe, RT_MESSAGETABLE, 1)
    blocks, low, high, offset = struct.unpack_from("<4I", data)
    length, unicode = struct.unpack_from("<HH", data, offset)
    text = data[offset + 4:offset + length].decode("utf-16-le").rstrip("\0")
    if (blocks, low, high, unicode, text) != (1, 1, 1, 1, "%1\r\n"):
        return [f"the message table holds {blocks} blocks, messages {low} to {high}, "
                f"{'UTF-16' if unicode else 'ANSI'} text {text!r}"]
    return []


def manifest(exe: Path, boxes: bool = True) -> list[str]:
    """The manifest parses as XML and holds what the launcher needs of Windows;
    what only its boxes use (DPI awareness, Common Controls 6) where it shows
    them (boxes: not the service launcher)."""
    text = subprocess.run(["wrestool", "-x", "--raw", f"--type={RT_MANIFEST}", "--name=1", str(exe)],
                          check=True, capture_output=True).stdout
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return [f"the manifest is not well-formed XML: {error}"]
    problems = []

    def find(path: str, namespaces: dict):
        found = root.find(path, namespaces)
        if found is None:
            problems.append(f"the manifest lacks {path}")
        return found

    level = find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel",
                 {"v3": ASM_V3})
    if level is not None and level.attrib != {"level": "asInvoker", "uiAccess": "false"}:
        problems.append(f"requestedExecutionLevel {level.attrib}")
    supported = {os.get("Id") for os in root.iterfind("c:compatibility/c:application/c:supportedOS",
                                                      {"c": COMPATIBILITY})}
    if supported != SUPPORTED_OS:
        problems.append(f"supportedOS {sorted(supported)}, expected Windows Vista to 11")
    settings = {"v3": ASM_V3, "s5": SETTINGS_2005, "s16": SETTINGS_2016}
    for path, value in (("dpiAware", "true"), ("dpiAwareness", "PerMonitorV2, system"),
                        ("longPathAware", "true"))[0 if boxes else 2:]:
        prefix = "s5" if path == "dpiAware" else "s16"
        element = find(f"v3:application/v3:windowsSettings/{prefix}:{path}", settings)
        if element is not None and (element.text or "").strip() != value:
            problems.append(f"{path} is {element.text!r}, not {value!r}")
    if b"activeCodePage" in text:
        problems.append("the manifest sets activeCodePage: the launcher writes in the ANSI code page")
    identity = find("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity",
                    {"v1": ASM_V1}) if boxes else None
    if identity is not None and identity.attrib != COMMON_CONTROLS:
        problems.append(f"the dependency is {identity.attrib}, not Common Controls 6")
    return problems


def checks(build: Build, kind: str = "gui") -> list:
    """(name, check of an exe file) for the given build's launcher ("gui"),
    console launcher ("console") or service launcher ("service")."""
    if kind == "console":
        return [
            (f"{build.file_format}, console subsystem {version(build)}",
             partial(pe_header, build, console=True)),
            *checks(build)[1:],
            (f"the same resources as {build.exe.name}", partial(same_resources, build.exe)),
        ]
    if kind == "service":
        return [
            (f"{build.file_format}, console subsystem {version(build)}",
             partial(pe_header, build, console=True)),
            *[check for check in checks(build)[1:] if check[1] not in (resources, manifest)],
            (f"{build.exe.name}'s first icon group, a manifest and a message table of one "
             "message, \"%1\"",
             partial(service_resources, build.exe)),
            ("the manifest: asInvoker, Windows Vista to 11, long paths",
             partial(manifest, boxes=False)),
        ]
    return [
        (f"{build.file_format}, GUI subsystem {version(build)}", partial(pe_header, build)),
        ("imports only kernel32, user32, advapi32 and msvcrt", partial(imports, build)),
        ("at most 128 KiB", size),
        ("identification text", identification),
        ("eleven icon groups, the manifest and nothing else", resources),
        ("the manifest: asInvoker, Windows Vista to 11, DPI aware, long paths, "
         "Common Controls 6", manifest),
    ]
