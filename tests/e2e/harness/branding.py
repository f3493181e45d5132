"""A launcher exe branded by the brand tool (build/host/corvane-brand)
before a case runs it, and what Windows then reads of its file properties."""
import subprocess
import sys
from dataclasses import dataclass
from pathlib import Path

REPO = Path(__file__).resolve().parents[3]
BRAND_TOOL = REPO / "build" / "host" / "corvane-brand"
sys.path.insert(0, str(REPO / "tests" / "brand"))
from icon_maker import application_icon  # noqa: E402,F401  (for the cases)

# Where a case's brand icon is put, for file_properties.exe to compare with.
ICON_PATH = "C:\\brand-icon.ico"


@dataclass(frozen=True)
class Brand:
    """corvane-brand options, and the bytes of the icon file for --icon.
    tool "windows": branded by the build's own corvane-brand.exe under Wine,
    which must write what the Linux tool writes, and then again in place,
    which must leave the file as it is."""
    options: tuple[str, ...] = ()
    icon: bytes | None = None
    tool: str = "linux"


def brand_arguments(launcher: Path, output: Path, brand: Brand, path=str) -> list[str]:
    """The tool's arguments, the files named through path; writes the icon file."""
    args = [path(launcher), path(output), *brand.options]
    if brand.icon is not None:
        icon = output.parent / "icon.ico"
        icon.write_bytes(brand.icon)
        args += ["--icon", path(icon)]
    return args


def brand_exe(launcher: Path, name: str, brand: Brand, work: Path) -> bytes:
    """The launcher branded by the Linux tool as the exe name (its
    OriginalFilename by default)."""
    if not BRAND_TOOL.exists():
        raise SystemExit(f"{BRAND_TOOL} is missing: build the host preset first")
    work.mkdir(parents=True, exist_ok=True)
    output = work / name
    result = subprocess.run([str(BRAND_TOOL), *brand_arguments(launcher, output, brand)],
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"corvane-brand failed: {result.stderr.strip()}")
    return output.read_bytes()
