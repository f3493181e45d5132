"""The Windows side of a case: installed runtimes in the registry, the
stand-in Java programs in their homes, and the application's files."""
import shutil
from contextlib import contextmanager
from dataclasses import dataclass, field
from pathlib import Path

from .helpers import build_helpers
from .wine import WineSession

ROOT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\Java Runtime Environment"
# Wine creates no key with a longer name; regedit skips such a key silently.
MAX_KEY_NAME = 256


@dataclass(frozen=True)
class Runtime:
    version: str                 # the subkey's name
    home: str | None             # its "JavaHome" value; None: the subkey has none


@dataclass(frozen=True)
class Registry:
    """The runtime root key and its subkeys; root=False: no root key at all."""
    runtimes: tuple[Runtime, ...] = ()
    current: str | None = None   # the "CurrentVersion" value
    root: bool = True

    def __post_init__(self):
        for runtime in self.runtimes:
            if len(runtime.version) > MAX_KEY_NAME:
                raise ValueError(f"a version key name of {len(runtime.version)} characters "
                                 "cannot be created")

    def with_current(self, current: str | None) -> "Registry":
        return Registry(self.runtimes, current, self.root)


def reg_string(text: str) -> str:
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_file_text(registry: Registry) -> str:
    """A regedit import that replaces the whole runtime root key."""
    lines = ["REGEDIT4", "", f"[-{ROOT_KEY}]", ""]
    if registry.root:
        lines.append(f"[{ROOT_KEY}]")
        if registry.current is not None:
            lines.append(f'"CurrentVersion"={reg_string(registry.current)}')
        lines.append("")
        for runtime in registry.runtimes:
            lines.append(f"[{ROOT_KEY}\\{runtime.version}]")
            if runtime.home is not None:
                lines.append(f'"JavaHome"={reg_string(runtime.home)}')
            lines.append("")
    return "\n".join(lines)


@dataclass(frozen=True)
class StandIn:
    """File content marker: a copy of the stand-in Java program (console:
    the java.exe kind, else the javaw.exe kind)."""
    console: bool


JAVA = StandIn(console=True)
JAVAW = StandIn(console=False)
DIRECTORY = object()  # file content marker: an empty directory


@dataclass
class World:
    """Applies registry states and case files to a session's prefix, and
    removes what a case created once it is done."""
    session: WineSession
    stand_ins: dict[bool, Path]          # console? -> built stand-in exe
    launcher: bytes                      # the launcher exe under test
    registry: Registry | None = None     # the state last imported
    created: list[Path] = field(default_factory=list)

    def apply_registry(self, registry: Registry):
        if registry == self.registry:
            return
        for runtime in registry.runtimes:
            if runtime.home and runtime.home[:3].upper() == "C:\\":
                self.install_java_home(runtime.home)
        reg_file = self.session.root / "runtimes.reg"
        reg_file.write_text(reg_file_text(registry))
        self.registry = None  # unknown until the import has succeeded
        self.session.import_registry(reg_file)
        self.registry = registry

    def install_java_home(self, home: str):
        bin_dir = self.session.unix_path(home + "\\bin")
        bin_dir.mkdir(parents=True, exist_ok=True)
        for name, content in (("java.exe", JAVA), ("javaw.exe", JAVAW)):
            if not (bin_dir / name).exists():
                shutil.copyfile(self.stand_ins[content.console], bin_dir / name)

    def put(self, windows_path: str, content):
        """Creates a file (text in Latin-1, bytes, a StandIn) or a DIRECTORY,
        with any missing parents; remembers what it created."""
        path = self.session.unix_path(windows_path)
        self._make_parents(path)
        if content is DIRECTORY:
            self._make_parents(path / "x")
        elif isinstance(content, StandIn):
            shutil.copyfile(self.stand_ins[content.console], path)
        else:
            path.write_bytes(content if isinstance(content, bytes) else content.encode("latin-1"))
        if path not in self.created:
            self.created.append(path)

    def _make_parents(self, path: Path):
        missing = [p for p in reversed(path.parents) if not p.exists()]
        for directory in missing:
            directory.mkdir()
            self.created.append(directory)

    def clean(self):
        for path in reversed(self.created):
            if path.is_dir() and not path.is_symlink():
                shutil.rmtree(path, ignore_errors=True)
            else:
                path.unlink(missing_ok=True)
        self.created.clear()


@contextmanager
def wine_world(launcher: Path, build_dir: Path):
    """Builds the helpers into build_dir, starts a Wine session and yields
    the World in it; everything is stopped and removed afterwards."""
    helpers = build_helpers(build_dir)
    with WineSession(helpers["box_watcher.exe"]) as session:
        yield World(session, {True: helpers["java.exe"], False: helpers["javaw.exe"]},
                    launcher.read_bytes())
