"""The launcher at its limits: very long lines, values, names and paths,
long lists, and configuration files that include themselves. Each run must
end in time without a crash, with everything whole or a clear message."""
from harness.case import AnyOrder, Box, Case, Java, OneOf
from harness.world import Registry, Runtime

from .configuration import HEAD, JAVA
from .launch import launch_error
from .runtime import INCOMPATIBLE, NOT_FOUND, prompt
from .startup import DEBUG_GREETING

LONG_VMPARAM = "-Dlong=" + "v" * (10_000 - len("-Dlong="))

# Environment values of 5,000 characters; the second has a blank in its middle.
BIG = "C:\\" + "b" * 4997
BIG_BLANK = "C:\\" + "b" * 2497 + " " + "c" * 2499
# In the results every backslash has become a slash.
SLASHED_BIG, SLASHED_BIG_BLANK = BIG.replace("\\", "/"), BIG_BLANK.replace("\\", "/")
BIG_COMMAND = f'{JAVA} -Dbig="{SLASHED_BIG_BLANK}" -classpath {SLASHED_BIG}/x.jar Main'
BIG_ARGS = [f"-Dbig={SLASHED_BIG_BLANK}", "-classpath", f"{SLASHED_BIG}/x.jar", "Main"]

VMPARAMS = [f"-Dp{i}=x" for i in range(150)]
JARS = [f"jar{i:03}.jar" for i in range(150)]

# A 40-character family, and names that differ from it only in their last
# character: a prefix compared in part would take one of those.
FAMILY = "1.3.1." + "7" * 34
NEAR = FAMILY[:-1] + "8"
MISSING = FAMILY[:-1] + "6"
FAMILIES = Registry((Runtime(FAMILY, r"C:\Java\family"),
                     Runtime(FAMILY + "_03", r"C:\Java\family_03"),
                     Runtime(FAMILY + "_11", r"C:\Java\family_11"),
                     Runtime(NEAR + "_20", r"C:\Java\near_20")))

# Version names of 254, 255 and 256 characters (Wine creates no longer ones):
# the enumeration reads names of at most 254, so the other two are skipped
# however high their patch level, and the name after them is still checked.
NAME_254 = "1.3.2_10" + "a" * 246
NAME_255 = "1.3.2_20" + "a" * 247
NAME_256 = "1.3.2_30" + "a" * 248
LONG_NAMES = Registry((Runtime("1.3.2_02", r"C:\Java\j1.3.2_02"),
                       Runtime(NAME_254, r"C:\Java\name254"),
                       Runtime(NAME_255, r"C:\Java\name255"),
                       Runtime(NAME_256, r"C:\Java\name256"),
                       Runtime("1.3.2_4", r"C:\Java\j1.3.2_4")))

# 3,000 characters in directories of 99: the stand-in can be put there, but
# no program is started from so long a path. Wine's CreateProcessW fails with
# ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_INVALID_NAME, from one
# exe to the next (the same exe with and without -d can differ).
LONG_HOME = "C:\\Program Files\\Java" + ("\\" + "d" * 99) * 30
LONG_HOMES = Registry((Runtime("1.6.0_01", LONG_HOME),))


def asking(name: str, version: str, registry: Registry, **expected) -> Case:
    return Case(name, config=f"appname Example Viewer\nmainclass Main\njavaVersion {version}\n",
                registry=registry, **expected)


def found(version: str, level: int, against: int) -> str:
    """The trace of a version name that starts with the requested prefix."""
    return (f"found correct java version {version}. checking patch level\n"
            f"checking patch level {level} against {against}\n")


CASES = [
    Case("a vmparam of 10,000 characters reaches Java whole as one argument",
         config=HEAD + f"vmparam {LONG_VMPARAM}\n",
         java=Java(command_line=f"{JAVA} {LONG_VMPARAM} Main", args=[LONG_VMPARAM, "Main"])),
    Case("-d, variables of 5,000 characters: whole, quoted when they hold a blank",
         config=HEAD + "vmparam -Dbig=$BIG_BLANK\naddpath $BIG\\x.jar\n", args=["-d"],
         env={"BIG": BIG, "BIG_BLANK": BIG_BLANK},
         boxes=DEBUG_GREETING + [
             Box("Parse Path", f'arg [-Dbig=$BIG_BLANK] expanded to [-Dbig="{BIG_BLANK}"]\n'),
             Box("Parse Path", f"arg [$BIG\\x.jar] expanded to [{BIG}\\x.jar]\n"),
             Box("MainClass is", "Main"), Box("Javapath is", JAVA),
             Box("Command Line is", BIG_COMMAND)],
         java=Java(command_line=BIG_COMMAND, args=BIG_ARGS)),
    Case("150 vmparam lines all reach Java, in order",
         config=HEAD + "".join(f"vmparam {p}\n" for p in VMPARAMS),
         java=Java(command_line=" ".join([JAVA, *VMPARAMS, "Main"]), args=[*VMPARAMS, "Main"])),
    Case("150 jars in an addjars directory are all on the class path",
         config=HEAD + "addjars lib\n", files={f"lib\\{jar}": "" for jar in JARS},
         java=Java(args=["-classpath", AnyOrder(";", [f"lib/{jar}" for jar in JARS]), "Main"])),
    Case("a file that includes itself, by two spellings and through a second file: read once",
         config=HEAD + "vmparam -Dfirst=1\ninclude viewer.config\n"
                       "include C:\\APPS\\VIEWER\\Viewer.Config\ninclude second.config\n"
                       "vmparam -Dlast=1\n",
         files={"second.config": "vmparam -Dsecond=1\ninclude second.config\n"
                                 "include viewer.config\n"},
         stderr="Can't include viewer.config: it is already being read\n"
                "Can't include C:\\APPS\\VIEWER\\Viewer.Config: it is already being read\n"
                "Can't include second.config: it is already being read\n"
                "Can't include viewer.config: it is already being read\n",
         java=Java(command_line=JAVA + " -Dfirst=1 -Dsecond=1 -Dlast=1 Main")),
    Case("includes nested more than 32 deep: the 33rd is refused, the rest take effect",
         config=HEAD + "include n1.config\n",
         files={f"n{i}.config": f"vmparam -D{i}\ninclude n{i + 1}.config\n" for i in range(1, 41)},
         stderr="Can't include n33.config: includes nested more than 32 deep\n",
         java=Java(command_line=" ".join([JAVA, *(f"-D{i}" for i in range(1, 33)), "Main"]))),
    asking("a 40-character family: its highest patch, not a name that differs at the end",
           FAMILY, FAMILIES,
           stdout=f"javaVersion={FAMILY}, javaVer={FAMILY}\n"
                  f"checking (1) {FAMILY}\n"
                  f"found correct java version {FAMILY}. checking patch level\n"
                  f"No patch level found in {FAMILY}\n"
                  f"checking (2) {FAMILY}_03\n" + found(FAMILY + "_03", 3, 0) +
                  f"found latest java version {FAMILY}_03\n"
                  f"checking (3) {FAMILY}_11\n" + found(FAMILY + "_11", 11, 3) +
                  f"found latest java version {FAMILY}_11\n"
                  f"checking (4) {NEAR}_20\n",
           java=Java(command_line=r"C:\Java\family_11\bin\javaw.exe Main")),
    asking("a 40-character family at patch 05+, none installed: the prompt, status 11",
           MISSING + "_05+", FAMILIES, status=11,
           boxes=[prompt(INCOMPATIBLE, "Example Viewer", MISSING + "_05+")]),
    asking("a 40-character release not installed: the prompt, status 5",
           MISSING + "_05", FAMILIES, status=5, stdout="",
           boxes=[prompt(NOT_FOUND, "Example Viewer", MISSING + "_05")]),
    asking("version names over 254 characters are skipped, the 254 one and the rest resolve",
           "1.3.2", LONG_NAMES,
           stdout="javaVersion=1.3.2, javaVer=1.3.2\n"
                  "checking (1) 1.3.2_02\n" + found("1.3.2_02", 2, 0) +
                  "found latest java version 1.3.2_02\n"
                  f"checking (2) {NAME_254}\n" + found(NAME_254, 10, 2) +
                  f"found latest java version {NAME_254}\n"
                  "checking (5) 1.3.2_4\n" + found("1.3.2_4", 4, 10),
           java=Java(command_line=r"C:\Java\name254\bin\javaw.exe Main")),
    asking("a version name of 256 characters asked for exactly is opened by its name",
           NAME_256, LONG_NAMES, stdout="",
           java=Java(command_line=r"C:\Java\name256\bin\javaw.exe Main")),
    # The code is the system's, not the launcher's: in a 64-bit prefix Wine
    # gives 2 (file not found) or 3 (path not found) for this path, depending
    # on the build that starts it and on what ran before, and 123 (invalid
    # name) to a start that holds the new process suspended, as Java's is; in
    # a 32-bit prefix it gave 123 too.
    asking("a JavaHome of 3,000 characters: the start fails, the box names it whole",
           "1.6.0_01", LONG_HOMES,
           boxes=[Box("Error", OneOf(*(launch_error(f'"{LONG_HOME}\\bin\\javaw.exe"', code).text
                                       for code in (2, 3, 123))), icon=True)]),
]
