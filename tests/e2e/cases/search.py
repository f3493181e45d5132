"""The Java search that minJava, maxJava, javaBits and javaHome ask for:
every vendor's registry layout in both views and both hives, Java homes with
a release file and stand-ins of either kind, the choice among them, and the
box when nothing fits.

HKLM keys name their view absolutely ("64" or "32"), so that each case, run
for both builds, has each exe read its own view and the other one: the 32-bit
exe must read the 64-bit view explicitly, the 64-bit exe the 32-bit one. HKCU
keys are in the one tree both views read. A home's kind is its stand-in's
build, whatever view it is registered in."""
from harness.case import Box, Case, Java
from harness.world import NO_ROOT, Key, java_home

from .runtime import INCOMPATIBLE, STANDARD, prompt

HEAD = "appname Example Viewer\nmainclass Main\n"
DEFAULT_PAGE = "https://adoptium.net/temurin/releases/"
WIN32, WIN64 = "win32", "win64"


class Installed:
    """One registered runtime: its key, its home's files, and the trace line
    (less its verdict) that the search writes about it with -d."""

    def __init__(self, layout: tuple, name: str, home: str, *, kind: str | None = WIN64,
                 release: str | None = None, view: str = "64", hive: str = "HKLM",
                 version: str | None = None, more: tuple = ()):
        # layout: (home value, key), or (home value, key, JVM name) for an installer's
        value, key, *jvm = layout
        path = f"{key}\\{name}" + "".join(f"\\{part}\\MSI" for part in jvm)
        # Installers end the home with a backslash.
        written = home + ("\\" if value != "JavaHome" else "")
        # HKCU is one tree that both views read; the 32-bit view is searched first.
        shared = hive == "HKCU"
        self.key = Key(path, ((value, written), *more), hive, "own" if shared else view)
        found_in = "32" if shared else view
        self.files = java_home(home, kind, release)
        shown = release or version or name
        bits = {WIN32: "32-bit", WIN64: "64-bit", None: "kind unknown"}[kind]
        self.line = (f"Java search: {hive}\\SOFTWARE\\{path} ({found_in}-bit view): {home}: "
                     f"Java {shown}, {bits}, ")

    def traced(self, verdict: str) -> str:
        return self.line + verdict


def installed(*runtimes: Installed) -> dict:
    """The keys and files of the runtimes, as Case arguments."""
    files = {}
    for runtime in runtimes:
        files.update(runtime.files)
    return dict(keys=tuple(runtime.key for runtime in runtimes), files=files, registry=NO_ROOT)


def javasoft(family: str) -> tuple:
    return "JavaHome", "JavaSoft\\" + family


def msi(key: str, jvm: str = "hotspot") -> tuple:
    return "Path", key, jvm


def adoptium(kind: str) -> tuple:
    return msi("Eclipse Adoptium\\" + kind)


ZULU = "InstallationPath", "Azul Systems\\Zulu"
ZULU_32 = "InstallationPath", "Azul Systems\\Zulu 32-bit"
SAPMACHINE = "JavaHome", "SapMachine\\JDK"
LIBERICA = "InstallationPath", "BellSoft\\Liberica"


def every_vendor(view: str, top: str) -> list[Installed]:
    """One runtime of each layout in a view, homes under top; SapMachine's
    21.0.2 is the highest. A 32-bit view holds some 32-bit runtimes, as 32-bit
    installers write there."""
    small = WIN32 if view == "32" else WIN64
    return [
        Installed(javasoft("Java Runtime Environment"), "1.8.0_392", top + r"\corretto8",
                  release="1.8.0_392", kind=small),
        Installed(javasoft("Java Development Kit"), "1.8", top + r"\jdk8", kind=small),
        Installed(javasoft("JDK"), "17.0.9", top + r"\oracle17", release="17.0.9"),
        Installed(javasoft("JRE"), "11.0.21", top + r"\redhat11"),
        Installed(adoptium("JDK"), "21.0.1.12", top + r"\temurin21", release="21.0.1"),
        Installed(adoptium("JRE"), "17.0.9.9", top + r"\temurin17jre", kind=small),
        Installed(msi("Eclipse Foundation\\JDK"), "17.0.5.8", top + r"\foundation17"),
        Installed(msi("AdoptOpenJDK\\JRE", "openj9"), "11.0.11.9", top + r"\adopt11"),
        Installed(msi("Temurin\\JDK"), "16.0.2.7", top + r"\temurin16"),
        Installed(msi("Microsoft\\JDK"), "17.0.8.7", top + r"\microsoft17",
                  release="17.0.8"),
        Installed(msi("Semeru\\JRE", "openj9"), "11.0.20.8", top + r"\semeru11"),
        Installed(ZULU, "zulu-17", top + r"\zulu17", version="17", release="17.0.9",
                  more=(("MajorVersion", 17), ("MinorVersion", 0), ("CurrentVersion", "17.0.9"))),
        Installed(ZULU_32, "zulu-8-jre", top + r"\zulu8", version="8", kind=small,
                  more=(("MajorVersion", 8),)),
        Installed(LIBERICA, "jdk-11", top + r"\liberica11", version="11",
                  more=(("MajorVersion", 11), ("MinorVersion", 0), ("PatchVersion", 21))),
        Installed(SAPMACHINE, "21.0.2", top + r"\sapmachine21", release="21.0.2"),
    ]


def vendors_case(view: str, top: str) -> Case:
    runtimes = every_vendor(view, top)
    chosen = runtimes[-1]
    return Case(
        f"search, {view}-bit view: every vendor's layout is found, the highest is started",
        config=HEAD + "minJava 1.8\n", args=["-d"], boxes=None, **installed(*runtimes),
        stdout_has=[r.traced("chosen" if r is chosen else "fits") for r in runtimes],
        java=Java(command_line=top + r"\sapmachine21\bin\java.exe Main"))


PER_USER = [
    Installed(adoptium("JDK"), "17.0.9.9", r"C:\Users\Public\temurin17", hive="HKCU"),
    Installed(LIBERICA, "jre-21", r"C:\Users\Public\liberica21", version="21", hive="HKCU",
              release="21.0.1"),
    Installed(javasoft("JDK"), "11", r"C:\Jdk\machine11", release="11.0.2"),
]

# minJava 11, maxJava 17: the release file's version, not the key's name,
# decides; maxJava 17 takes every 17.x; minJava equal is in; a pre-release,
# though found first, loses to the release of its number.
RANGE = [
    Installed(javasoft("JDK"), "17", r"C:\Jdk\jdk17", release="17.0.9"),
    Installed(javasoft("JDK"), "18", r"C:\Jdk\jdk18", release="18.0.2.1"),
    Installed(adoptium("JDK"), "17.0.10.7", r"C:\Jdk\temurin17", release="17.0.1"),
    Installed(adoptium("JDK"), "21.0.1.12", r"C:\Jdk\temurin21", release="17.0.9-ea",
              view="32"),
    Installed(javasoft("Java Runtime Environment"), "1.8.0_392", r"C:\Jdk\jre8",
              release="1.8.0_392"),
    Installed(LIBERICA, "jdk-11", r"C:\Jdk\liberica11", version="11", view="32"),
]

# The same Java 17.0.9 in both kinds; each is registered in the view of the
# other kind, and the 32-bit one in the view searched first.
TIE_32 = Installed(javasoft("JDK"), "17.0.9", r"C:\Jdk\x86\jdk17", kind=WIN32, view="32")
TIE_64 = Installed(javasoft("JDK"), "17.0.9", r"C:\Jdk\x64\jdk17", view="64")
# A 64-bit runtime in the 32-bit view, a higher 32-bit one in the 64-bit view.
KIND_64 = Installed(adoptium("JDK"), "17.0.9.9", r"C:\Jdk\x64\temurin17", view="32")
KIND_32 = Installed(adoptium("JDK"), "21.0.1.12", r"C:\Jdk\x86\temurin21", kind=WIN32)

REGISTERED_21 = Installed(javasoft("JDK"), "21", r"C:\Jdk\reg21", release="21.0.1")

# Nothing fits "minJava 11, maxJava 17, javaBits 64": one of each reason, in
# the order the search finds them (the 32-bit view first, then layout order).
NONE_FITS = [
    Installed(javasoft("Java Runtime Environment"), "1.8.0_392", r"C:\Jdk\jre8",
              release="1.8.0_392", view="32", kind=WIN32),
    Installed(javasoft("JDK"), "latest", r"C:\Jdk\unknown"),
    Installed(javasoft("JDK"), "21", r"C:\Jdk\jdk21", release="21.0.1"),
    Installed(adoptium("JDK"), "17.0.9.9", r"C:\Jdk\temurin17", kind=None,
              release="17.0.9"),
    Installed(ZULU, "zulu-17", r"C:\Jdk\zulu17", kind=WIN32, version="17",
              more=(("MajorVersion", 17),)),
]
NONE_FITS_TEXT = """\
Example Viewer needs Java 11 to 17 (64-bit).

Found on this computer:
C:\\Jdk\\jre8: Java 1.8.0_392, 32-bit, too old
C:\\Jdk\\jdk21: Java 21.0.1, 64-bit, too new
C:\\Jdk\\unknown: Java latest, 64-bit, cannot check the version
C:\\Jdk\\temurin17: Java 17.0.9, kind unknown, no javaw.exe
C:\\Jdk\\zulu17: Java 17, 32-bit, wrong kind

Do you want to open the download page?"""
NONE_FITS_CONFIG = HEAD + "minJava 11\nmaxJava 17\njavaBits 64\n"


def none_fits(name: str, config: str, **expected) -> Case:
    return Case(name, config=config, **installed(*NONE_FITS), status=11,
                boxes=[Box("Example Viewer", NONE_FITS_TEXT, "yes,no", icon=True)], **expected)


CASES = [
    vendors_case("64", r"C:\Jdk64"),
    vendors_case("32", r"C:\Jdk32"),
    Case("search, HKCU: per-user runtimes count beside HKLM's; the highest is started",
         config=HEAD + "minJava 11\n", args=["-d"], boxes=None, **installed(*PER_USER),
         stdout_has=[PER_USER[0].traced("fits"), PER_USER[1].traced("chosen"),
                     PER_USER[2].traced("fits")],
         java=Java(command_line=r"C:\Users\Public\liberica21\bin\java.exe Main")),
    Case("search, minJava 11 maxJava 17: release files over key names, every 17.x, not 18",
         config=HEAD + "minJava 11\nmaxJava 17\n", args=["-d"], boxes=None, **installed(*RANGE),
         stdout_has=[RANGE[0].traced("chosen"), RANGE[1].traced("too new"),
                     RANGE[2].traced("fits"), RANGE[3].traced("fits"),
                     RANGE[4].traced("too old"), RANGE[5].traced("fits")],
         java=Java(command_line=r"C:\Jdk\jdk17\bin\java.exe Main")),
    Case("search, equal versions: the 64-bit runtime, though the 32-bit one is found first",
         config=HEAD + "minJava 17\n", **installed(TIE_32, TIE_64),
         java=Java(command_line=r"C:\Jdk\x64\jdk17\bin\javaw.exe Main")),
    Case("search, javaBits 64: the kind comes from the header, not from the view",
         config=HEAD + "javaBits 64\n", **installed(KIND_64, KIND_32),
         java=Java(command_line=r"C:\Jdk\x64\temurin17\bin\javaw.exe Main")),
    Case("search, javaBits 32: the 32-bit runtime is started, though a 64-bit one is higher",
         config=HEAD + "javaBits 32\n", **installed(KIND_64, KIND_32), needs=(WIN32,),
         java=Java(command_line=r"C:\Jdk\x86\temurin21\bin\javaw.exe Main",
                   image=r"C:\Jdk\x86\temurin21\bin\javaw.exe")),
    Case("search, javaHome: file order, relative to the exe's directory though typed elsewhere",
         start="console", typed=r"..\Viewer\viewer", cwd=r"C:\Apps\Other",
         config=None,
         files={r"C:\Apps\Other\viewer.config":
                HEAD + "minJava 11\njavaHome gone\njavaHome $OLD_JAVA\njavaHome runtime\n"
                       "javaHome $NEW_JAVA\n",
                **java_home(r"C:\Apps\Viewer\runtime", release="17.0.9"),
                **java_home(r"C:\Apps\Other\runtime", release="21.0.1"),
                **java_home(r"C:\Apps\Viewer\gone", kind=None, release="21.0.1"),
                **java_home(r"C:\Jdk\old", release="1.8.0_392"),
                **java_home(r"C:\Jdk\new", release="21.0.1"), **REGISTERED_21.files},
         env={"OLD_JAVA": r"C:\Jdk\old", "NEW_JAVA": r"C:\Jdk\new"},
         registry=NO_ROOT, keys=(REGISTERED_21.key,),
         java=Java(command_line=r"C:\Apps\Viewer\runtime\bin\javaw.exe Main",
                   cwd=r"C:\Apps\Other")),
    none_fits("search, nothing fits, No: every candidate with its reason, status 11",
              NONE_FITS_CONFIG),
    none_fits("search, nothing fits, Yes: the default download page opens",
              NONE_FITS_CONFIG, answers={"Example Viewer": "yes"}, browser=[DEFAULT_PAGE]),
    none_fits("search, nothing fits, Yes: downloadPage opens instead",
              NONE_FITS_CONFIG + "downloadPage https://example.com/get-java?for=viewer&v=17\n",
              answers={"Example Viewer": "yes"},
              browser=["https://example.com/get-java?for=viewer&v=17"]),
    Case("search, no Java at all, no appname: the default caption, 'No Java was found'",
         config="mainclass Main\nmaxJava 17\n", registry=NO_ROOT, status=11,
         boxes=[Box("Java Not Found", "This application needs Java 17 or earlier.\n\n"
                                      "No Java was found on this computer.\n\n"
                                      "Do you want to open the download page?",
                    "yes,no", icon=True)]),
    Case("search, -d, nothing fits: one trace line a candidate, java.exe looked for",
         config=NONE_FITS_CONFIG, args=["-d"], boxes=None, status=11, **installed(*NONE_FITS),
         stdout_has=[NONE_FITS[0].traced("too old"), NONE_FITS[1].traced("cannot check the version"),
                     NONE_FITS[2].traced("too new"),
                     NONE_FITS[3].traced("no java.exe"),
                     NONE_FITS[4].traced("wrong kind")]),
    Case("search: a javaVersion line that finds its runtime still decides",
         config=HEAD + "javaVersion 1.4.2\nminJava 11\n", registry=STANDARD,
         keys=(TIE_64.key,), files=TIE_64.files,
         java=Java(command_line=r'"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe" Main')),
    Case("downloadPage alone: no search, the current runtime starts",
         config=HEAD + "downloadPage https://example.com/get-java\n", registry=STANDARD,
         keys=(TIE_64.key,), files=TIE_64.files,
         java=Java(command_line=r"C:\Java\jre1.5.0\bin\javaw.exe Main")),
    # The version is looked up where its line stands: downloadPage comes first.
    Case("downloadPage alone, Yes in the old prompt: its page opens instead of the 1.4.2 page",
         config=HEAD + "downloadPage https://example.com/get-java\njavaVersion 1.4.2_09+\n",
         answers={INCOMPATIBLE: "yes"}, status=11,
         boxes=[prompt(INCOMPATIBLE, "Example Viewer", "1.4.2_09+")],
         browser=["https://example.com/get-java"]),
    # Before, the browser got "https://example.com/a" and the rest became
    # arguments of the command. Wine's browser glue spells blanks as %20.
    Case('downloadPage with quotes and blanks: one page opens, with %22 for each "',
         config=HEAD + 'downloadPage https://example.com/a" --new-window "b c\n'
                       'javaVersion 1.4.2_09+\n',
         answers={INCOMPATIBLE: "yes"}, status=11,
         boxes=[prompt(INCOMPATIBLE, "Example Viewer", "1.4.2_09+")],
         browser=["https://example.com/a%22%20--new-window%20%22b%20c"]),
]
