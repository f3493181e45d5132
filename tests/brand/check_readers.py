#!/usr/bin/python3
"""Checks what corvane-brand writes with readers this project did not write:
Debian's python3-pefile, icoutils' wrestool, objdump -p, xmllint, windres
(the byte-level reference of a version record) and osslsigncode (a branded
exe signs and verifies with a certificate made here by openssl).

    /usr/bin/python3 tests/brand/check_readers.py TOOL

Brands every launcher exe of LAUNCHER_EXES. Exit status 1 when a check fails.
"""
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

import pefile

sys.dont_write_bytecode = True
from icon_maker import application_icon  # noqa: E402

REPO = Path(__file__).resolve().parents[2]
# The launcher exes that are branded here: add a build's exe by adding a line.
LAUNCHER_EXES = [
    ("win32", REPO / "build/win32/launcher.exe", "i686-w64-mingw32-"),
    ("win64", REPO / "build/win64/launcher.exe", "x86_64-w64-mingw32-"),
    ("win32 console", REPO / "build/win32/launcherc.exe", "i686-w64-mingw32-"),
    ("win64 console", REPO / "build/win64/launcherc.exe", "x86_64-w64-mingw32-"),
    ("win32 service", REPO / "build/win32/launchersvc.exe", "i686-w64-mingw32-"),
    ("win64 service", REPO / "build/win64/launchersvc.exe", "x86_64-w64-mingw32-"),
]
STRINGS = {
    "FileDescription": "Example Viewer", "FileVersion": "2.1.0", "ProductName": "Example Viewer",
    "ProductVersion": "2.1", "CompanyName": "Exemple Société", "LegalCopyright":
    "(c) 2026 Exemple Société", "InternalName": "viewer", "OriginalFilename": "viewer.exe",
}
OPTIONS = ["--product-name", "Example Viewer", "--company", "Exemple Société",
           "--file-version", "2.1.0", "--product-version", "2.1",
           "--copyright", "(c) 2026 Exemple Société"]
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

failures = []


def expect(condition: bool, what: str):
    if not condition:
        failures.append(what)
        print(f"FAIL {what}", flush=True)


def run(*argv, check=True) -> subprocess.CompletedProcess:
    return subprocess.run([str(a) for a in argv], capture_output=True, check=check)


def resources(pe: pefile.PE) -> dict:
    """(type, name, language) -> data, as pefile reads the tree."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                found[kind.id, name.id if name.id is not None else str(name.name), language.id] = \
                    pe.get_data(entry.OffsetToData, entry.Size)
    return found


def tree_in_order(directory) -> bool:
    """Named entries first, ascending; then ids, ascending; at every level."""
    keys = [(0, str(e.name)) if e.id is None else (1, e.id) for e in directory.entries]
    return keys == sorted(keys) and len(set(keys)) == len(keys) and all(
        tree_in_order(e.directory) for e in directory.entries if hasattr(e, "directory"))


def version_strings(pe: pefile.PE) -> dict:
    strings = {}
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                expect(table.LangID == b"040904B0", f"string table {table.LangID}")
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return strings


def imports(objdump: str, exe: Path) -> str:
    dump = run(objdump, "-p", exe).stdout.decode()
    return dump[dump.index("The Import Tables"):].split("\n\n\n")[0]


def check_branded(name: str, original: Path, branded: Path, icon: Path, prefix: str):
    before, after = pefile.PE(str(original)), pefile.PE(str(branded))
    expect(after.get_warnings() == [], f"[{name}] pefile warns: {after.get_warnings()}")
    expect(version_strings(after) == STRINGS, f"[{name}] version strings {version_strings(after)}")
    fixed = after.VS_FIXEDFILEINFO[0]
    expect((fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS,
            fixed.ProductVersionLS, fixed.FileType) == (2 << 16 | 1, 0, 2 << 16 | 1, 0, 1),
           f"[{name}] fixed file information")
    translation = [var.entry for info in after.FileInfo[0] if info.Key == b"VarFileInfo"
                   for var in info.Var]
    expect(translation == [{b"Translation": "0x0409 0x04b0"}], f"[{name}] translation {translation}")
    expect(tree_in_order(after.DIRECTORY_ENTRY_RESOURCE), f"[{name}] resource tree order")
    old, new = resources(before), resources(after)
    expect(new[RT_MANIFEST, 1, 0] == old[RT_MANIFEST, 1, 0], f"[{name}] manifest kept")
    groups = sorted(key for key in new if key[0] == RT_GROUP_ICON)
    expect(groups == sorted(key for key in old if key[0] == RT_GROUP_ICON),
           f"[{name}] icon groups {groups}")
    expect(all(new[key] == old[key] for key in groups if key[1] != 101),
           f"[{name}] the other icon groups stay as they were")
    expect(after.verify_checksum(), f"[{name}] checksum")
    for section in before.sections[:-2]:
        moved = next(s for s in after.sections if s.Name == section.Name)
        expect(moved.get_data() == section.get_data() and
               moved.VirtualAddress == section.VirtualAddress,
               f"[{name}] section {section.Name} kept byte for byte")
    expect(after.sections[-1].get_data() == before.sections[-1].get_data(),
           f"[{name}] relocations kept")
    last = after.sections[-1]
    alignment = after.OPTIONAL_HEADER.SectionAlignment
    expect(after.OPTIONAL_HEADER.SizeOfImage ==
           (last.VirtualAddress + last.Misc_VirtualSize + alignment - 1) // alignment * alignment,
           f"[{name}] SizeOfImage")
    objdump = prefix + "objdump"
    expect(imports(objdump, branded) == imports(objdump, original), f"[{name}] imports (objdump -p)")
    with tempfile.TemporaryDirectory() as scratch:
        extracted = Path(scratch) / "101.ico"
        run("wrestool", "-x", f"--type={RT_GROUP_ICON}", "--name=101", "-o", extracted, branded)
        expect(extracted.read_bytes() == reference_icon(prefix, icon, Path(scratch)),
               f"[{name}] wrestool extracts group 101 as from an exe windres made of the icon")
        group = new[RT_GROUP_ICON, 101, 1033]
        ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(group[4])]
        extracted_images = [run("wrestool", "-x", "--raw", f"--type={RT_ICON}", f"--name={i}",
                                branded).stdout for i in ids]
        expect(extracted_images == icon_images(icon.read_bytes()),
               f"[{name}] wrestool extracts the icon file's images, byte for byte")
        manifest = Path(scratch) / "manifest.xml"
        manifest.write_bytes(new[RT_MANIFEST, 1, 0])
        expect(run("xmllint", "--noout", manifest, check=False).returncode == 0,
               f"[{name}] xmllint reads the manifest")
    images = [key for key in new if key[0] == RT_ICON]
    expect(len(images) == len([k for k in old if k[0] == RT_ICON]) - 1 + 4,
           f"[{name}] group 101's old image is gone, its four new ones are there: {images}")


def icon_images(ico: bytes) -> list[bytes]:
    count = struct.unpack_from("<H", ico, 4)[0]
    return [ico[offset:offset + size] for size, offset in
            (struct.unpack_from("<II", ico, 6 + 16 * i + 8) for i in range(count))]


def reference_icon(prefix: str, icon: Path, work: Path) -> bytes:
    """Group 101 as wrestool extracts it from an exe that windres and the
    linker made with the same icon file."""
    (work / "icon.rc").write_text(f'101 ICON "{icon}"\n')
    (work / "main.c").write_text("int main(void) { return 0; }\n")
    run(prefix + "windres", work / "icon.rc", "-O", "coff", "-o", work / "icon.o")
    run(prefix + "gcc", work / "main.c", work / "icon.o", "-o", work / "reference.exe")
    run("wrestool", "-x", f"--type={RT_GROUP_ICON}", "--name=101", "-o", work / "reference.ico",
        work / "reference.exe")
    return (work / "reference.ico").read_bytes()


def check_execution_level(name: str, tool: Path, branded: Path, work: Path):
    admin = work / f"{name}-admin.exe"
    run(tool, branded, admin, "--execution-level", "requireAdministrator")
    text = resources(pefile.PE(str(admin)))[RT_MANIFEST, 1, 0].decode()
    original = resources(pefile.PE(str(branded)))[RT_MANIFEST, 1, 0].decode()
    expect(text == original.replace('level="asInvoker"', 'level="requireAdministrator"'),
           f"[{name}] --execution-level changes only the level")


def check_manifest_faults(tool: Path, launcher: Path, work: Path):
    """--manifest accepts exactly what xmllint takes for well-formed, over
    broken variants of the default manifest."""
    text = (REPO / "resources" / "launcher.manifest").read_text()
    variants = [text] + [text[:n] for n in range(60, len(text), len(text) // 12)] + [
        text.replace('uiAccess="false"', 'uiAccess="false" uiAccess="true"'),
        text.replace("</security>", ""),
        text.replace("<security>", "<security>&"),
        text.replace('level="asInvoker"', "level=asInvoker"),
        text.replace("</assembly>", "</assembly><assembly/>"),
        text.replace("<dependency>", "<dependency><![CDATA[ <not a tag> ]]>"),
        text.replace("<dependency>", "<dependency><!-- a comment -- >"),
        text.replace("true</dpiAware>", "&#x74;rue</dpiAware>"),
    ]
    for number, variant in enumerate(variants):
        manifest = work / f"variant-{number}.manifest"
        manifest.write_text(variant)
        wellformed = run("xmllint", "--noout", manifest, check=False).returncode == 0
        result = run(tool, launcher, work / "variant.exe", "--manifest", manifest, check=False)
        expect((result.returncode == 0) == wellformed,
               f"manifest variant {number}: xmllint {'takes' if wellformed else 'refuses'} it, "
               f"corvane-brand says {result.stderr.decode().strip() or 'nothing'}")


def check_signing(name: str, tool: Path, branded: Path, icon: Path, work: Path):
    key, certificate = work / "key.pem", work / "cert.pem"
    if not certificate.exists():
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
            "-subj", "/CN=Corvane brand test", "-keyout", key, "-out", certificate)
    signed = work / f"{name}-signed.exe"
    run("osslsigncode", "sign", "-certs", certificate, "-key", key, "-in", branded, "-out", signed)
    verified = run("osslsigncode", "verify", "-CAfile", certificate, "-in", signed, check=False)
    expect(verified.returncode == 0, f"[{name}] the branded exe signs and verifies: "
                                     f"{verified.stdout.decode()[-300:]}")
    refused = work / f"{name}-refused.exe"
    result = run(tool, signed, refused, "--icon", icon, *OPTIONS, check=False)
    expect(result.returncode == 1 and b"signed" in result.stderr and not refused.exists(),
           f"[{name}] a signed exe is refused: {result.stderr!r}")
    again = work / f"{name}-resigned" / "viewer.exe"
    again.parent.mkdir()
    run(tool, signed, again, "--remove-signature", "--icon", icon, *OPTIONS)
    expect(again.read_bytes() == branded.read_bytes(),
           f"[{name}] --remove-signature gives what branding the unsigned exe gave")


def windres_version_record(windres: str, work: Path) -> bytes:
    """The version record of the same strings, compiled by windres."""
    values = "".join(f'      VALUE "{k}", "{v}"\n' for k, v in STRINGS.items())
    rc = work / "version.rc"
    rc.write_text("1 VERSIONINFO\nFILEVERSION 2,1,0,0\nPRODUCTVERSION 2,1,0,0\n"
                  "FILEFLAGSMASK 0x3f\nFILEFLAGS 0\nFILEOS 0x40004\nFILETYPE 1\nFILESUBTYPE 0\n"
                  "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n"
                  + values + "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n"
                  "    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n", encoding="utf-8")
    res = work / "version.res"
    run(windres, "-c", "65001", "-O", "res", rc, res)
    data, at = res.read_bytes(), 0
    while at < len(data):  # each entry: data size, header size, header, data (4-aligned)
        size, header = struct.unpack_from("<II", data, at)
        kind = struct.unpack_from("<HH", data, at + 8)
        if kind == (0xFFFF, RT_VERSION):
            return data[at + header:at + header + size]
        at = (at + header + size + 3) & ~3
    raise SystemExit("windres wrote no version record")


def main() -> int:
    tool = Path(sys.argv[1]).resolve()
    with tempfile.TemporaryDirectory() as scratch:
        work = Path(scratch)
        icon = work / "viewer.ico"
        icon.write_bytes(application_icon())
        for name, original, prefix in LAUNCHER_EXES:
            if not original.exists():
                expect(False, f"{original} is missing: run scripts/build.sh first")
                continue
            branded = work / name / "viewer.exe"
            branded.parent.mkdir()
            run(tool, original, branded, "--icon", icon, *OPTIONS)
            check_branded(name, original, branded, icon, prefix)
            again = work / name / "again" / "viewer.exe"
            again.parent.mkdir()
            run(tool, branded, again, "--icon", icon, *OPTIONS)
            expect(again.read_bytes() == branded.read_bytes(),
                   f"[{name}] branding the branded exe again gives the same bytes")
            version = resources(pefile.PE(str(branded)))[RT_VERSION, 1, 0x409]
            expect(version == windres_version_record(prefix + "windres", work),
                   f"[{name}] the version record is windres' byte for byte")
            check_execution_level(name, tool, branded, work)
            check_signing(name, tool, branded, icon, work)
            print(f"[{name}] checked: pefile, wrestool, objdump -p, xmllint, windres, "
                  "osslsigncode", flush=True)
        check_manifest_faults(tool, LAUNCHER_EXES[0][1], work)
    print(f"{len(failures)} checks failed" if failures else "every check passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
