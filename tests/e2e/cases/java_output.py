"""Java's output: the log that "javaLog" names, rotated at "javaLogSize", and
the box that reports Java's failed end with the last lines Java wrote to its
standard error, where the launcher has no standard error to give Java (the
shell's start, which "parent shell" makes)."""
from harness.case import Box, Case, Java, OneOf
from harness.flood import Rotated, flood
from harness.world import DIRECTORY, StandIn, java_home

from .console import tool

JDK = r"C:\Java\jdk"
JAVAW = JDK + r"\bin\javaw.exe"
HEAD = f"mainclass Main\njavapath {JAVAW}\n"
RAN = Java(command_line=JAVAW + " Main")
LOG = "javaLog logs\\viewer.log\n"
FLOOD = 50 * 1024 * 1024
STARTING = "Viewer 2.1 starting\n"
TRACE = ("Exception in thread \"main\" java.lang.UnsupportedClassVersionError: Main has been "
         "compiled by a more recent version of the Java Runtime (class file version 65.0)\n" +
         "".join(f"\tat java.base/java.lang.ClassLoader.defineClass{i}(ClassLoader.java:{i})\n"
                 for i in range(1, 15)))
HELPER = r"C:\Apps\Viewer\helper.exe"
FAILED = "Error launching Class Main\n with Java C:\\Java\\jdk\\bin\\javaw.exe.\nError=1"
REPORTED = Box("Error", FAILED + "\n\nJava reported:\n" +
               "\n".join(TRACE.splitlines()[-12:]), icon=True)


def viewer(name: str, **changes) -> Case:
    settings = dict(config=HEAD, files=java_home(JDK), java=RAN)
    settings.update(changes)
    return Case("Java's output: " + name, **settings)


CASES = [
    viewer("50 MB written to both streams in small and large writes reach the log and its "
           "rotated files whole and in order, none over javaLogSize 1",
           config=HEAD + LOG + "javaLogSize 1\njavaLogKeep 99\n", start="parent",
           java_flood=FLOOD, timeout=120,
           written={"logs\\viewer.log": Rotated(flood(FLOOD), 1 << 20)}),
    viewer("started from the shell, Java ends with 1: the log holds both streams, the box "
           "the last 12 lines of standard error",
           config=HEAD + LOG, start="parent shell", java_stdout=STARTING, java_stderr=TRACE,
           java_exit=1, boxes=[REPORTED],
           written={"logs\\viewer.log": OneOf((STARTING + TRACE).encode(),
                                               (TRACE + STARTING).encode())}),
    viewer("a program that Java started holds its pipes and lives on: the launcher reads what "
           "Java left there and ends without waiting for it",
           config=HEAD + LOG, start="parent shell", java_stderr=TRACE, java_exit=1,
           files={**java_home(JDK), HELPER: StandIn(console=False)},
           env={"CORVANE_E2E_JAVA_SPAWN": HELPER, "CORVANE_E2E_JAVA_SPAWN_INHERITS": "1",
                "CORVANE_E2E_JAVA_SPAWN_HOLD": "C:\\never-made"},
           outlives=("helper.exe",), boxes=[REPORTED], timeout=15,
           written={"logs\\viewer.log": TRACE.encode()}),
    viewer("started from the shell without javaLog: nothing on disk, the box the last lines",
           start="parent shell", java_stderr=TRACE, java_exit=1, boxes=[REPORTED],
           written={}),
    viewer("with the starter's standard error: Java's lines reach it as before, the box "
           "the status alone", java_stderr=TRACE, java_exit=1, stderr_bytes=TRACE.encode(),
           boxes=[Box("Error", FAILED, icon=True)], written={}),
    viewer("a javaLog that cannot be opened never stops Java: its lines go where they went",
           config=HEAD + "javaLog logs\n", files={**java_home(JDK), "logs": DIRECTORY},
           java_stderr=TRACE, stderr_bytes=TRACE.encode(), written={}),
    tool("javaLog is the caller's business: Java's streams pass through, nothing on disk",
         config=f"mainclass Main\njavapath {JDK}\\bin\\java.exe\n" + LOG,
         files=java_home(JDK), java_stdout=STARTING, java_stderr=TRACE,
         stdout_bytes=STARTING.encode(), stderr_bytes=TRACE.encode(), written={},
         java=Java(command_line=JDK + r"\bin\java.exe Main")),
]
