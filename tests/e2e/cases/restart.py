"""Java started again by the launcher that started it: on a restart code,
with the update its application staged, and after failures; an update that
a file held open elsewhere stops is undone."""
from harness.case import LAUNCHER, Case, Java
from harness.world import java_home

JDK = r"C:\Java\jdk"
STAND_IN = JDK + r"\bin\javaw.exe"
STAGING = r"C:\Staging"
APP = r"C:\Apps\Viewer"


def config(*lines: str) -> str:
    return "".join(f"{line}\n" for line in (f"mainclass Main", f"javapath {STAND_IN}", *lines))


VERSION_1 = config("singleInstance com.example.viewer", "restartCode 3", "updateDirectory update",
                   "argument -v1")
VERSION_2 = config("vmparam -Dv=2", "singleInstance com.example.viewer", "restartCode 3",
                   "updateDirectory update", "argument -v2")
SHOW_JAR = {"CORVANE_E2E_JAVA_SHOW": APP + r"\lib\app.jar"}

CASES = [
    Case("restartCode: Java stages an update (the launcher's exe too) and exits 3; the same "
         "launcher runs the new version with the command line's arguments, in one instance",
         config=VERSION_1, args=["report.txt"],
         files={**java_home(JDK), r"lib\app.jar": "app 1",
                STAGING + r"\viewer.config": VERSION_2, STAGING + r"\lib\app.jar": "app 2",
                STAGING + r"\viewer.exe": LAUNCHER},
         env={**SHOW_JAR, "CORVANE_E2E_JAVA_EXITS": "3,0",
              "CORVANE_E2E_JAVA_STAGE": f"{STAGING}>{APP}\\update"},
         java_runs=[Java(args=["Main", "report.txt", "-v1"], shown="app 1"),
                    Java(args=["-Dv=2", "Main", "report.txt", "-v2"], shown="app 2")],
         files_after={"viewer.config": VERSION_2, r"lib\app.jar": "app 2",
                      r"update\viewer.exe": None, r"update\lib": None,
                      r"update\update.journal": None}),
    Case("an update that a file held open elsewhere stops is undone: the old version runs, "
         "the update waits for a later start",
         config=config("updateDirectory update"), held=r"lib\old.jar", env=SHOW_JAR,
         files={**java_home(JDK), r"lib\app.jar": "app 1", r"lib\old.jar": "old 1",
                r"update\lib\app.jar": "app 2", r"update\viewer.config": VERSION_2,
                r"update\remove.list": "lib\\old.jar\n"},
         java=Java(args=["Main"], shown="app 1"),
         files_after={r"lib\app.jar": "app 1", r"lib\old.jar": "old 1",
                      "viewer.config": config("updateDirectory update"),
                      r"update\lib\app.jar": "app 2", r"update\viewer.config": VERSION_2,
                      r"update\remove.list": "lib\\old.jar\n", r"update\update.journal": None,
                      r"update\update.backup": None}),
    Case("restartOnFailure 3: a Java that fails twice runs a third time, and no box is shown",
         config=config("restartOnFailure 3"), files=java_home(JDK),
         env={"CORVANE_E2E_JAVA_EXITS": "1,1,0"},
         java_runs=[Java(args=["Main"])] * 3),
]
