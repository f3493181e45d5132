"""How the launcher holds on to the Java it started: Java ends when the
launcher is ended, while a program Java started lives on; a command line
past what Windows takes goes to a Java 9 or later through an argument file;
one instance of a singleInstance application at a time."""
from harness.case import Box, Case, Java, Matches
from harness.lifetime import (Ended, JavaStarted, Kill, Lifetime, Release, Run, Running, Start,
                              WindowRestored)
from harness.world import StandIn, java_home

JDK = r"C:\Java\jdk"
STAND_IN = JDK + r"\bin\javaw.exe"
HELPER = r"C:\Apps\Viewer\helper.exe"

# A class path of about 40,000 characters, and options with blanks, quotes
# and backslashes, which the argument file must give Java exactly.
ENTRIES = [f"lib\\{'x' * 95}{i:03}.jar" for i in range(377)]
CLASS_PATH = ";".join(ENTRIES)
OPTIONS = 'vmparam -Dwin="C:\\Program Files\\App"\nvmparam -Dcase="an argument file" -Dtwo=2\n'
LONG_CONFIG = (f"mainclass Main\njavapath {STAND_IN}\n" + OPTIONS +
               "".join(f"addpath {entry}\n" for entry in ENTRIES))
FULL_LINE = (f'{STAND_IN} -Dwin="C:\\Program Files\\App" -Dcase="an argument file" -Dtwo=2 '
             f"-classpath {CLASS_PATH} Main")
# jva, 16 random hexadecimal digits and .tmp, in the user's temporary folder.
ARGUMENT_FILE = Matches(r"(?i)@C:\\users\\[^\\]+\\(AppData\\Local\\)?Temp\\jva[0-9a-f]+\.tmp")

INSTANCE_CONFIG = f"mainclass Main\njavapath {STAND_IN}\nsingleInstance com.example.viewer\n"

CASES = [
    Lifetime("killing the launcher ends its Java; a program that Java started lives on",
             config=f"mainclass Main\njavapath {STAND_IN}\n",
             files={**java_home(JDK), HELPER: StandIn(console=False)},
             env={"CORVANE_E2E_JAVA_SPAWN": HELPER},
             steps=(Start("launcher"), JavaStarted(1), Running("helper.exe", True),
                    Kill("launcher"), Ended("launcher", None), Running("javaw.exe", False),
                    Running("helper.exe", True))),
    Case("a 40,000-character class path goes to Java 17 through an argument file, then is removed",
         config=LONG_CONFIG, files=java_home(JDK, release="17.0.2"),
         java=Java(args=[ARGUMENT_FILE, "Main"],
                   argument_file=["-Dwin=C:\\Program Files\\App", "-Dcase=an argument file",
                                  "-Dtwo=2", "-classpath", CLASS_PATH])),
    Case("the same line with Java 8 is refused: the box says Java 9 or later would take it",
         config=LONG_CONFIG, files=java_home(JDK, release="1.8.0_392"),
         boxes=[Box("Error", f"The Java command line is {len(FULL_LINE)} characters long; "
                             "Windows accepts at most 32766\n"
                             "Java 9 or later would take a line this long.", icon=True)]),
    Lifetime("singleInstance: a second start runs no Java, restores the first one's window, "
             "ends with 0; a start after the first has ended runs Java",
             config=INSTANCE_CONFIG, files=java_home(JDK), window=True,
             steps=(Start("first"), JavaStarted(1), Run(0), JavaStarted(1), Release(),
                    Ended("first", 0), WindowRestored(True), Run(0), JavaStarted(2))),
]
