"""The console launcher (launcherc.exe) for command-line tools: Java's
output, input and exit status are the tool's, nothing waits for a click, and
everything of the launcher's own goes to standard error. Each case is started
by a Windows parent, which sees the whole exit status (Wine hands the Unix
side its low 8 bits); none may show a box."""
from harness.case import APP_DIR, STANDARD, Case, Existing, Java
from harness.code_page import ansi_spelling
from harness.world import DIRECTORY, NO_ROOT, java_home

from .runtime import NOT_FOUND, PAGE_142

JAVA = r"C:\Java\j2re1.4.2\bin\java.exe"
HEAD = f"mainclass Main\njavapath {JAVA}\n"
RAN = Java(command_line=JAVA + " Main", image=JAVA)
J142_08 = r"C:\Program Files\Java\j2re1.4.2_08\bin\java.exe"
ANY_SCRIPT_DIR = r"C:\Apps\Конвертер"
NO_CONFIG = r"Can't open {}\tool.config Error No such file or directory"


# A tool with a runtime of its own, in a folder on PATH, run from a work
# folder that holds a configuration of the same name (whose Java, were it
# read, does not exist): Java opens the relative file argument.
CLI, WORK = r"C:\cli\tools", r"C:\cli\work"
CLI_CONFIG = ("mainclass Main\njavapath runtime\\bin\\java.exe\nvmparam -Dnative=$EXEDIR\\native\n"
              "addpath classes\naddjars lib\n")
CLI_FILES = {"classes": DIRECTORY, r"lib\core.jar": "", **java_home(CLI + r"\runtime"),
             WORK + r"\input.txt": "the input, converted\n",
             WORK + r"\convert.config": "mainclass Planted\njavapath planted.exe\n"}
CLI_JAVA = Java(args=["-Dnative=C:/cli/tools/native", "-classpath",
                      Existing(CLI + r"\classes;" + CLI + r"\lib/core.jar"), "Main", "input.txt"],
                image=CLI + r"\runtime\bin\java.exe", cwd=WORK)


def cli_tool(name: str, **changes) -> Case:
    """convert.exe, the console launcher in CLI, run in WORK with the file input.txt."""
    settings = dict(console_launcher=True, app_dir=CLI, exe="convert.exe", cwd=WORK,
                    args=["input.txt"], config=CLI_CONFIG, files=CLI_FILES, java_cat=True,
                    stdout_bytes=b"the input, converted\n", java=CLI_JAVA)
    settings.update(changes)
    return Case("console launcher: " + name, **settings)


def tool(name: str, **changes) -> Case:
    """A command-line tool, tool.exe, in the application directory."""
    settings = dict(console_launcher=True, exe="tool.exe", start="parent", config=HEAD)
    settings.update(changes)
    return Case("console launcher: " + name, **settings)


CASES = [
    tool("Java's output and error pass through untouched, in any script; status 0",
         java_stdout="first line\nПривет, мир\n", java_stderr="Ωμέγα 中文 error\n",
         stdout_bytes="first line\nПривет, мир\n".encode(),
         stderr_bytes="Ωμέγα 中文 error\n".encode(), java=RAN),
    *[tool(f"Java's exit status {code} is the launcher's", java_exit=code, status=code, java=RAN)
      for code in (1, 42, 300, -1)],
    tool("standard input reaches Java from a pipe",
         java_echo=True, stdin=b"line one\r\nline two\n\xff\x00 raw bytes",
         stdout_bytes=b"line one\r\nline two\n\xff\x00 raw bytes", java=RAN),
    tool("a resolved javaVersion: java.exe, and no line of the launcher's on either stream",
         config="mainclass Main\njavaVersion 1.4.2_05+\n", stdout="",
         java=Java(command_line=f'"{J142_08}" Main', image=J142_08)),
    tool("the Java search starts java.exe",
         config="mainclass Main\njavaHome C:\\Java\\j2re1.4.2\n",
         java=Java(command_line=JAVA + " Main", image=JAVA)),
    tool("-d: the diagnostics on standard error, nothing on standard output; the caller's "
         "directory kept",
         config="mainclass Main\njavaVersion 1.4.2_03\n", args=["-d"], stdout="",
         stderr=f"""\
Version: 1.0.8
LpCmdLine: [{APP_DIR}\\tool.exe]
CWD: C:\\
reading app config {APP_DIR}\\tool.config
Reading App Config file: [{APP_DIR}\\tool.config]
Reading Config file: {APP_DIR}\\tool.config
JavaInstallRegPath: SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4.2_03
MainClass is: Main
Javapath is: C:\\Java\\j2re1.4.2_03\\bin\\java.exe
cmdLine is 53 chars long
Command Line is: C:\\Java\\j2re1.4.2_03\\bin\\java.exe Main
CreateProcess ret 1, exitCode=0
""",
         java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\java.exe Main")),
    tool("no configuration: status 2", config=None, status=2,
         stderr=NO_CONFIG.format(APP_DIR) + "\n"),
    tool("an exact javaVersion not installed: the page on standard error, no browser, status 5",
         config="appname Converter\nmainclass Main\njavaVersion 1.4.2_05\n", status=5,
         stderr=f"{NOT_FOUND}: Converter requires the Java Runtime Environment version 1.4.2_05\n"
                f"Download page: {PAGE_142}\n"),
    tool("no Java fits: the page on standard error, no browser, status 11",
         config="appname Converter\nmainclass Main\nminJava 99\n", registry=NO_ROOT, status=11,
         stderr="Converter: Converter needs Java 99 or later.\n\n"
                "No Java was found on this computer.\n\n"
                "Download page: https://adoptium.net/temurin/releases/\n"),
    tool("a failed start: its line, status 126",
         config="mainclass Main\njavapath C:\\Java\\nowhere\\java.exe\n", status=126,
         stderr="Error: Error launching Class Main\n with Java C:\\Java\\nowhere\\java.exe.\n"
                "Error=2\n"),
    tool("no Java installed: its line, status 127", config="mainclass Main\n",
         registry=STANDARD.with_current(None), status=127,
         stderr="Error!: No Java Installation Found\n"),
    tool("no main class: its line, status 125", config=f"javapath {JAVA}\n", status=125,
         stderr="Error: No main class is named in the configuration\n"),
    tool("Ctrl+C reaches Java on the shared console; the launcher ends with Java's status",
         start="parent ctrl-c", java_exit=130, status=130,
         java=Java(command_line=JAVA + " Main", console_event="ctrl-c")),
    tool("on a console: Java writes to it, the launcher adds nothing",
         start="parent console", java_stdout="from Java\n", java_stderr="Java's error\n",
         console="from Java\nJava's error",
         java=Java(command_line=JAVA + " Main", image=JAVA, console_window="yes")),
    tool("started without a console (detached): java.exe opens no console window, and its "
         "output reaches the caller's handles",
         start="parent detached", java_stdout="from Java\n", stdout_bytes=b"from Java\n",
         java=Java(command_line=JAVA + " Main", image=JAVA, console_window="no")),
    cli_tool("on PATH, typed in cmd.exe in another folder: the configuration beside the exe "
             "(not the one in the folder), relative paths made full, EXEDIR, Java in the "
             "caller's folder opens the relative file argument",
             start="console", env={"WINEPATH": CLI}),
    cli_tool("run by its full path from another folder, as PowerShell or Python run it: the same",
             start="path"),
    tool("on a console: the launcher's line shows a name in any script as written",
         start="parent console", app_dir=ANY_SCRIPT_DIR, config=None, status=2,
         console=NO_CONFIG.format(ANY_SCRIPT_DIR)),
    tool("redirected: the same line in the ANSI code page", app_dir=ANY_SCRIPT_DIR,
         config=None, status=2, stderr=NO_CONFIG.format(ansi_spelling(ANY_SCRIPT_DIR)) + "\n"),
]
