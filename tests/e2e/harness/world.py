"""The Windows side of a case: installed runtimes in the registry, the
stand-in Java programs in their homes, and the application's files.

The registry of a case goes into the view that the launcher under test reads
(the 32-bit view, HKLM\SOFTWARE\Wow6432Node, for the 32-bit build); the other
view gets no runtime root key unless the case gives it one, so that a launcher
reading the wrong view cannot pass."""
import shutil
from contextlib import contextmanager
from dataclasses import dataclass, field
from pathlib import Path

from .branding import Brand, brand_arguments, brand_exe
from .builds import BUILDS, WIN32, WIN64, Build
from .code_page import ansi_bytes
from .helpers import build_helpers
from .records import read_records
from .wine import WineSession

RUNTIMES_KEY = r"JavaSoft\Java Runtime Environment"
# Wine creates no key with a longer name; regedit skips such a key silently.
MAX_KEY_NAME = 256


@dataclass(frozen=True)
class Runtime:
    version: str                 # the subkey's name
    home: str | None             # its "JavaHome" value; None: the subkey has none
    # The build of the stand-in Java programs in the home, or the Unix path of
    # a real Java program linked there as java.exe and javaw.exe.
    stand_in: str = WIN64.name


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


NO_ROOT = Registry(root=False)


def keys_reg_text(keys: list[tuple[str, "Key"]]) -> str:
    """Regedit lines that write each (full name, key)."""
    lines = [""]
    for name, key in keys:
        lines.append(f"[{name}]")
        for value_name, value in key.values:
            data = f"dword:{value:08x}" if isinstance(value, int) else reg_string(value)
            lines.append(f"{reg_string(value_name)}={data}")
        lines.append("")
    return "\n".join(lines)


def reg_file_text(views: dict[str, Registry]) -> str:
    """A regedit import that replaces the whole runtime root key in each view
    (HKLM\SOFTWARE as 64-bit programs see it -> its registry)."""
    lines = ["REGEDIT4", ""]
    for software, registry in views.items():
        root_key = f"HKEY_LOCAL_MACHINE\\{software}\\{RUNTIMES_KEY}"
        lines += [f"[-{root_key}]", ""]
        if not registry.root:
            continue
        lines.append(f"[{root_key}]")
        if registry.current is not None:
            lines.append(f'"CurrentVersion"={reg_string(registry.current)}')
        lines.append("")
        for runtime in registry.runtimes:
            lines.append(f"[{root_key}\\{runtime.version}]")
            if runtime.home is not None:
                lines.append(f'"JavaHome"={reg_string(runtime.home)}')
            lines.append("")
    return "\n".join(lines)


@dataclass(frozen=True)
class StandIn:
    """File content marker: a copy of the stand-in Java program (console:
    the java.exe kind, else the javaw.exe kind) of the given build."""
    console: bool
    build: str = WIN64.name

    @property
    def program(self) -> str:
        return "java.exe" if self.console else "javaw.exe"


DIRECTORY = object()  # file content marker: an empty directory


@dataclass(frozen=True)
class Encoded:
    """File content: a text in the named encoding, e.g. "utf-8-sig" (UTF-8
    after its byte order mark, as editors write "UTF-8 with BOM"). A plain
    str is written in the ANSI code page."""
    text: str
    encoding: str


@dataclass(frozen=True)
class Key:
    """A registry key that a case writes, with its values (a str is REG_SZ, an
    int REG_DWORD). path is below SOFTWARE, in hive HKLM or HKCU; view is "own"
    (the view the launcher under test reads), "other", "64" or "32". HKCU keys
    go into the one tree that both views read, as Windows 7 and later keep
    HKCU\\Software, and take no other view. Before each case, everything below
    the first two names of every path written since the last case (e.g.
    "Eclipse Adoptium\\JDK") is removed."""
    path: str
    values: tuple[tuple[str, str | int], ...] = ()
    hive: str = "HKLM"
    view: str = "own"

    def __post_init__(self):
        if self.hive not in ("HKLM", "HKCU") or self.view not in ("own", "other", "64", "32") \
                or (self.hive == "HKCU" and self.view != "own"):
            raise ValueError(f"a key in hive {self.hive!r}, view {self.view!r}")
        names = self.path.split("\\")
        # Wine's own keys must survive the cleaning.
        if len(names) < 2 or (names[0] in WINE_OWN_KEYS and self.root != r"Microsoft\JDK"):
            raise ValueError(f"a case cannot own the registry key {self.root}")

    @property
    def root(self) -> str:
        return "\\".join(self.path.split("\\")[:2])


WINE_OWN_KEYS = {"Microsoft", "Wine", "Classes", "Clients", "Policies", "Wow6432Node"}


def java_home(path: str, kind: str | None = WIN64.name, release: str | None = None) -> dict:
    """Case files for a Java home: bin\\java.exe and bin\\javaw.exe stand-ins of
    the kind of a build (None: no executable), and a release file whose
    JAVA_VERSION is release (None: no release file)."""
    files = {}
    if kind is not None:
        files.update({path + "\\bin\\" + StandIn(console, kind).program: StandIn(console, kind)
                      for console in (True, False)})
    if release is not None:
        files[path + "\\release"] = f'IMPLEMENTOR="Corvane tests"\nJAVA_VERSION="{release}"\n'
    return files


@dataclass
class World:
    """Applies registry states and case files to a session's prefix, and
    removes what a case created once it is done. use() picks the build of the
    launcher under test."""
    session: WineSession
    stand_ins: dict[tuple[str, str], Path]   # (build, program name) -> built stand-in
    build: Build = WIN64
    launcher: bytes = b""                    # the launcher exe under test
    console_launcher: bytes = b""            # and its console launcher
    service_launcher: bytes = b""            # and its service launcher
    registry: tuple | None = None            # the state last imported
    homes: dict[Path, str] = field(default_factory=dict)  # bin dir -> its stand-ins' build
    created: list[Path] = field(default_factory=list)
    key_roots: set[str] = field(default_factory=set)  # written by the state last imported
    brandings: dict[tuple, bytes] = field(default_factory=dict)  # (build, name, Brand) -> exe
    brand_faults: dict[tuple, list[str]] = field(default_factory=dict)  # same keys

    def use(self, build: Build):
        self.build = build
        self.launcher = build.exe.read_bytes()
        self.console_launcher = build.console_exe.read_bytes()
        self.service_launcher = build.service_exe.read_bytes()

    def branded(self, name: str, brand: Brand) -> bytes:
        """The launcher under test branded as the exe name, made once."""
        key = (self.build.name, name, brand)
        if key not in self.brandings:
            work = self.session.root / f"brand-{len(self.brandings)}"
            made = brand_exe(self.build.exe, name, brand, work)
            faults = []
            if brand.tool == "windows":
                made, faults = self.branded_under_wine(name, brand, work / "windows", made)
            self.brandings[key], self.brand_faults[key] = made, faults
        return self.brandings[key]

    def branding_faults(self, name: str, brand: Brand) -> list[str]:
        return self.brand_faults.get((self.build.name, name, brand), [])

    def branded_under_wine(self, name: str, brand: Brand, work: Path,
                           by_linux: bytes) -> tuple[bytes, list[str]]:
        """The build's own corvane-brand.exe run under Wine, and how its
        output differs from the Linux tool's."""
        tool = self.build.exe.parent / "corvane-brand.exe"
        if not tool.exists():
            return by_linux, [f"{tool} is missing: build the {self.build.name} preset first"]
        work.mkdir(parents=True)
        output = work / name
        run = self.session.run([str(tool), *brand_arguments(self.build.exe, output, brand,
                                                            self.session.windows_path)])
        if run.status != 0 or not output.exists():
            return by_linux, [f"corvane-brand.exe under Wine: status {run.status}, "
                              f"{run.stderr.decode('utf-8', 'replace').strip()}"]
        made = output.read_bytes()
        if made != by_linux:
            return made, [f"corvane-brand.exe under Wine wrote {len(made)} bytes unlike the "
                          f"Linux tool's {len(by_linux)}"]
        # Branded again in place: the file is replaced by what it already holds.
        path = self.session.windows_path
        again = self.session.run([str(tool), path(output), path(output), *brand.options])
        if again.status != 0 or output.read_bytes() != made:
            return made, [f"corvane-brand.exe under Wine, branding its output in place: status "
                          f"{again.status}, {again.stderr.decode('utf-8', 'replace').strip()}"]
        return made, []

    def file_properties(self, exe: str, icon: str) -> list[dict]:
        """What Windows reads of the exe: version record and icon (file_properties.c)."""
        record = self.session.root / "file-properties.rec"
        record.unlink(missing_ok=True)
        helper = self.stand_ins[WIN64.name, "file_properties.exe"]
        self.session.run([str(helper), exe, icon, self.session.windows_path(record)])
        return read_records(record)

    @property
    def other_build(self) -> Build:
        """The build whose registry view the launcher under test does not read."""
        return next(build for build in BUILDS if build != self.build)

    def apply_registry(self, registry: Registry, other_view: Registry = NO_ROOT,
                       keys: tuple[Key, ...] = ()):
        """registry into the view the launcher under test reads, other_view
        into the other one, then keys; the keys of the state before are gone."""
        state = (self.build.name, registry, other_view, keys)
        if state == self.registry:
            return
        for runtime in registry.runtimes + other_view.runtimes:
            if runtime.home and runtime.home[:3].upper() == "C:\\":
                self.install_java_home(runtime.home, runtime.stand_in)
        reg_file = self.session.root / "runtimes.reg"
        roots = {self.key_name(key, key.root) for key in keys}
        # The keys' roots go first: a case may add keys below the runtime root key.
        views = {self.build.software: registry, self.other_build.software: other_view}
        header, runtimes = reg_file_text(views).split("\n", 1)
        reg_file.write_text("\n".join([
            header, *(f"[-{name}]" for name in sorted(self.key_roots | roots)), runtimes,
            keys_reg_text([(self.key_name(key, key.path), key) for key in keys])]))
        self.registry = None  # unknown until the import has succeeded
        self.key_roots |= roots
        self.session.import_registry(reg_file)
        self.registry = state
        self.key_roots = roots

    def key_name(self, key: Key, path: str) -> str:
        """The full name of path as a 64-bit program sees it, in key's hive and
        view. Wine would redirect a 32-bit program's HKCU\\Software to its
        Wow6432Node once that key exists, and hide Wine's own settings there
        (the browser) from it: that key is never created."""
        if key.hive == "HKCU":
            return f"HKEY_CURRENT_USER\\Software\\{path}"
        software = {"own": self.build.software, "other": self.other_build.software,
                    "64": WIN64.software, "32": WIN32.software}[key.view]
        return f"HKEY_LOCAL_MACHINE\\{software}\\{path}"

    def install_java_home(self, home: str, stand_in: str = WIN64.name):
        bin_dir = self.session.unix_path(home + "\\bin")
        if self.homes.get(bin_dir) == stand_in:
            return
        bin_dir.mkdir(parents=True, exist_ok=True)
        for content in (StandIn(True, stand_in), StandIn(False, stand_in)):
            target = bin_dir / content.program
            target.unlink(missing_ok=True)
            if stand_in.startswith("/"):
                target.symlink_to(stand_in)
            else:
                shutil.copyfile(self.stand_ins[stand_in, content.program], target)
        self.homes[bin_dir] = stand_in

    def put(self, windows_path: str, content):
        """Creates a file (a text in the ANSI code page, Encoded text, bytes, a
        StandIn) or a DIRECTORY, with any missing parents; remembers what it
        created. Names may be in any script."""
        path = self.session.unix_path(windows_path)
        self._forget_homes_at(path)
        self._make_parents(path)
        if content is DIRECTORY:
            self._make_parents(path / "x")
        elif isinstance(content, StandIn):
            path.unlink(missing_ok=True)  # never write through a link to a real Java
            shutil.copyfile(self.stand_ins[content.build, content.program], path)
        elif isinstance(content, Encoded):
            path.write_bytes(content.text.encode(content.encoding))
        else:
            path.write_bytes(content if isinstance(content, bytes) else ansi_bytes(content))
        if path not in self.created:
            self.created.append(path)

    def _forget_homes_at(self, path: Path):
        """A case's file in a registered home's bin directory, or one that is
        the directory or above it, goes with the case: the home's stand-ins
        are installed again for the next case whose registry names it."""
        for bin_dir in [d for d in self.homes if d == path or d in path.parents
                        or path in d.parents]:
            del self.homes[bin_dir]
            self.registry = None

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
def wine_world(build_dir: Path):
    """Builds the helpers into build_dir, starts a Wine session and yields
    the World in it; everything is stopped and removed afterwards."""
    helpers = build_helpers(build_dir)
    with WineSession(helpers[WIN64.name, "box_watcher.exe"]) as session:
        yield World(session, helpers)
