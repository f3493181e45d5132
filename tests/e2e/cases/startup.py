"""Starting the launcher: by full path or from a console, the configuration
it finds, debug mode, and the typical run from start to end."""
from harness.case import APP_DIR, Box, Case, Java
from harness.world import DIRECTORY

J142_08 = r'"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe"'

VIEWER_CONFIG = """\
// application launch settings
appname Example Viewer
mainclass com.example.viewer.Main
javaVersion 1.4.2_05+
vmparam -Xmx256m
vmparam -Dviewer.home=$VIEWER_HOME
addpath classes
addjars lib
argument -open
consoleTitle Example Viewer
"""
VIEWER_FILES = {"classes": DIRECTORY, "lib\\a.jar": "", "lib\\b.jar": "", "lib\\readme.txt": ""}
VIEWER_ENV = {"VIEWER_HOME": APP_DIR}

RESOLVE_1_4_2_05_PLUS = """\
javaVersion=1.4.2_05+, javaVer=1.4.2
checking (1) 1.4
checking (2) 1.4.2
found correct java version 1.4.2. checking patch level
No patch level found in 1.4.2
checking (3) 1.4.2_03
found correct java version 1.4.2_03. checking patch level
checking patch level 3 against 5
checking (4) 1.4.2_08
found correct java version 1.4.2_08. checking patch level
checking patch level 8 against 5
found latest java version 1.4.2_08
checking (5) 1.5.0
checking (6) 1.5.0_06
"""

VIEWER_ARGS = ["-Xmx256m", "-Dviewer.home=C:/Apps/Viewer", "-classpath",
               "classes;lib/a.jar;lib/b.jar", "com.example.viewer.Main", "-open"]
VIEWER_JAVA = Java(
    command_line=J142_08 + " -Xmx256m -Dviewer.home=C:/Apps/Viewer"
                           " -classpath classes;lib/a.jar;lib/b.jar com.example.viewer.Main -open ",
    args=VIEWER_ARGS, image=r"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe",
    cwd=APP_DIR, title="Example Viewer")


def viewer(name: str, **changes) -> Case:
    """The example application, with changes."""
    settings = dict(config=VIEWER_CONFIG, files=VIEWER_FILES, env=VIEWER_ENV)
    settings.update(changes)
    return Case(name, **settings)


NO_CONFIG = "Can't open C:\\Apps\\Viewer\\viewer.config Error No such file or directory\n"

DEBUG_GREETING = [
    Box("Version", "1.0.8"),
    Box("LpCmdLine", r"[C:\Apps\Viewer\viewer.exe]"),
    Box("CWD", APP_DIR),
    Box("Reading App Config file", r"[C:\Apps\Viewer\viewer.config]"),
    Box("Reading Config file", r"C:\Apps\Viewer\viewer.config"),
]
J142_08_DEBUG = r'"C:\Program Files\Java\j2re1.4.2_08\bin\java.exe"'
DEBUG_COMMAND = (J142_08_DEBUG + " -Xmx256m -Dviewer.home=C:/Apps/Viewer -classpath "
                 'classes;lib/a.jar;lib/b.jar com.example.viewer.Main alpha "two words" -D -open ')

CASES = [
    viewer(
        "typical run: started by full path, 1.4.2_05+ resolves to 1.4.2_08 under a blank",
        stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA,
    ),
    viewer(
        "typed in a console in the application directory: same launch",
        start="console", stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA,
    ),
    viewer(
        "typed by a relative path in a console elsewhere, where no configuration is: the one "
        "beside the exe, and Java works there",
        start="console", typed=r"..\Viewer\viewer", cwd=r"C:\Apps\Other",
        files={**VIEWER_FILES, r"C:\Apps\Other": DIRECTORY},
        stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA,
    ),
    viewer(
        "on PATH, typed by bare name in a console elsewhere: the same",
        start="console", cwd=r"C:\Apps\Other", env={**VIEWER_ENV, "WINEPATH": APP_DIR},
        files={**VIEWER_FILES, r"C:\Apps\Other": DIRECTORY},
        stdout=RESOLVE_1_4_2_05_PLUS, java=VIEWER_JAVA,
    ),
    viewer(
        "from a maximised shortcut: Java's first window is asked to show maximised too",
        start="parent", show_window=3, stdout=RESOLVE_1_4_2_05_PLUS,
        java=Java(args=VIEWER_ARGS, cwd=APP_DIR, title="Example Viewer", startup_flags="1",
                  show_window="3"),
    ),
    viewer(
        "appUserModelId: Java's windows take the application's taskbar identity, in place of "
        "consoleTitle",
        config=VIEWER_CONFIG + "appUserModelId Example.Viewer\n", start="parent", show_window=7,
        stdout=RESOLVE_1_4_2_05_PLUS,
        java=Java(args=VIEWER_ARGS, title="Example.Viewer", startup_flags="1001", show_window="7"),
    ),
    Case(
        "missing configuration: status 2, one standard-error line, nothing shown",
        config=None, status=2, stdout="", stderr=NO_CONFIG,
    ),
    Case(
        "upper-case TOOL.EXE keeps its ending: reads TOOL.EXE.config",
        exe="TOOL.EXE", config_name="TOOL.EXE.config",
        config="mainclass Tool\njavaVersion 1.4.2_03\n", stdout="",
        java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\javaw.exe Tool"),
    ),
    Case(
        "a directory with a blank: started by full path, works there",
        app_dir=r"C:\Program Files\Viewer App", config="mainclass Tool\njavaVersion 1.4.2_03\n",
        java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\javaw.exe Tool",
                  cwd=r"C:\Program Files\Viewer App"),
    ),
    Case(
        "at a drive root, by full path: the directory is the bare drive",
        app_dir="C:", args=["-d"], config="mainclass Tool\njavaVersion 1.4.2_03\n", boxes=None,
        stdout_has=[r"reading app config C:\viewer.config"],
        java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\java.exe Tool", cwd="C:\\"),
    ),
    Case(
        "typed at the drive root: the configuration path doubles the backslash",
        app_dir="C:", start="console", cwd="C:\\", args=["-d"],
        config="mainclass Tool\njavaVersion 1.4.2_03\n", boxes=None,
        stdout_has=[r"reading app config C:\\viewer.config"],
        java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\java.exe Tool", cwd="C:\\"),
    ),
    viewer(
        "-d: greeting and decision boxes, traces with CR LF, java.exe, -D forwarded",
        args=["alpha", "-d", "two words", "-D"],
        boxes=DEBUG_GREETING + [
            Box("JavaInstallRegPath", r"SOFTWARE\JavaSoft\Java Runtime Environment\1.4.2_08"),
            Box("Parse Path", "arg [-Dviewer.home=$VIEWER_HOME] expanded to "
                              "[-Dviewer.home=C:\\Apps\\Viewer]\n"),
            Box("MainClass is", "com.example.viewer.Main"),
            Box("Javapath is", J142_08_DEBUG),
            Box("Command Line is", DEBUG_COMMAND),
        ],
        stdout="reading app config C:\\Apps\\Viewer\\viewer.config\n" + RESOLVE_1_4_2_05_PLUS + """\
adding jar lib/a.jar
adding jar lib/b.jar
vmparam 0=-Xmx256m
vmparam 1=-Dviewer.home=C:/Apps/Viewer
vmpath 0=classes
vmjars 0=lib/a.jar
vmjars 1=lib/b.jar
cmdLine is 192 chars long
CreateProcess ret 1, exitCode=0
""",
        java=Java(command_line=DEBUG_COMMAND,
                  args=VIEWER_ARGS[:-1] + ["alpha", "two words", "-D", "-open"],
                  image=r"C:\Program Files\Java\j2re1.4.2_08\bin\java.exe", title="Example Viewer"),
    ),
    Case(
        "-d with a missing configuration: the path is shown, then the program name again",
        config=None, args=["-d"], status=2,
        boxes=DEBUG_GREETING + [Box("LpCmdLine", r"[C:\Apps\Viewer\viewer.exe]")],
        stdout="reading app config C:\\Apps\\Viewer\\viewer.config\n", stderr=NO_CONFIG,
    ),
]
