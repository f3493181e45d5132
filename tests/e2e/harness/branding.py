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
    """corvane-brand options, and the bytes of the icon file for --icon."""
    options: tuple[str, ...] = ()
    icon: bytes | None = None


def brand_exe(launcher: Path, name: str, brand: Brand, work: Path) -> bytes:
    """The launcher branded as the exe name (its OriginalFilename by default)."""
    if not BRAND_TOOL.exists():
        raise SystemExit(f"{BRAND_TOOL} is missing: build the host preset first")
    work.mkdir(parents=True, exist_ok=True)
    output = work / name
    args = [str(BRAND_TOOL), str(launcher), str(output), *brand.options]
    if brand.icon is not None:
        (work / "icon.ico").write_bytes(brand.icon)
        args += ["--icon", str(work / "icon.ico")]
    result = subprocess.run(args, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"corvane-brand failed: {result.stderr.strip()}")
    return output.read_bytes()
