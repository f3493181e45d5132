"""Names in any script. Wine's ANSI code page here is 1252, which spells no
Cyrillic, Greek or Chinese character. The launcher must find and read what
such names name, show them as written in its boxes, and give Java, whose own
launcher reads its command line in the code page, the short (8.3) form of
each path that names an existing file or folder; trace and error lines are in
the code page. Texts the code page spells reach Java byte for byte."""
import re

from harness.case import APP_DIR, Box, Case, Existing, Java, Matches
from harness.code_page import ansi_spelling
from harness.world import DIRECTORY, Encoded, Registry, Runtime, StandIn

from .configuration import JAVA
from .startup import DEBUG_GREETING

# "Applications\Viewer"
CYRILLIC_APP = r"C:\Приложения\Просмотр"
# "Java 8", with a blank, as in a user's own folder
CYRILLIC_HOME = r"C:\Java\Ява 8"
CYRILLIC_HOME_FILES = {CYRILLIC_HOME + r"\bin\javaw.exe": StandIn(False),
                       CYRILLIC_HOME + r"\bin\java.exe": StandIn(True)}
# "Viewer" in Greek and in Chinese
APP_NAME = "Προβολέας 查看器"
# Wine makes short names such as ____~1G2 and ____~TNZ.JAR from a hash of the
# long name; the same in every run and build, but only their shape is Wine's
# promise as much as Windows': ASCII, upper case, a tilde, at most 8.3.
SHORT_NAME = r"[0-9A-Z_!#$%&'()@^`{}-]{1,7}~[0-9A-Z]{1,7}(?:\.[0-9A-Z_!#$%&'()@^`{}-]{1,3})?"
UTF8 = "utf-8-sig"  # UTF-8 after a byte order mark


def short(text: str) -> Matches:
    """text with each '*' standing for one short name."""
    return Matches(SHORT_NAME.join(map(re.escape, text.split("*"))))


def debug_greeting(app_dir: str) -> list[Box]:
    return [Box("Version", "1.0.8"), Box("LpCmdLine", f"[{app_dir}\\viewer.exe]"),
            Box("CWD", app_dir), Box("Reading App Config file", f"[{app_dir}\\viewer.config]"),
            Box("Reading Config file", f"{app_dir}\\viewer.config")]


def cyrillic_app(name: str, **start) -> Case:
    """The application in a Cyrillic folder, its jar named in Cyrillic ("core")."""
    return Case(name, app_dir=CYRILLIC_APP, **start,
                config=f"mainclass Main\njavapath {JAVA}\naddpath classes\naddjars lib\n",
                files={"classes": DIRECTORY, r"lib\ядро.jar": ""},
                java=Java(command_line=short(JAVA + " -classpath classes;lib/* Main"),
                          args=["-classpath", Existing(short("classes;lib/*")), "Main"],
                          cwd=CYRILLIC_APP))


CYRILLIC_HOME_CONFIG = (f"mainclass Main\njavapath {CYRILLIC_HOME}\\bin\\javaw.exe\n"
                        "addpath классы\naddjars библиотека\n")


def cyrillic_home(name: str, config: Encoded, files: dict | None = None) -> Case:
    """The configuration (CYRILLIC_HOME_CONFIG in some encoding) names a Cyrillic Java home,
    class folder ("classes") and jar folder ("library")."""
    return Case(name, config=config,
                files={**CYRILLIC_HOME_FILES, "классы": DIRECTORY, r"библиотека\ядро.jar": "",
                       **(files or {})},
                java=Java(command_line=short(r"C:\Java\*\bin\javaw.exe -classpath *;*/* Main"),
                          args=["-classpath", Existing(short("*;*/*")), "Main"],
                          image=CYRILLIC_HOME + r"\bin\javaw.exe"))


# "Settings", an include that does not exist
MISSING_INCLUDE = "Настройки.config"
# An existing file and folder in Cyrillic ("data\file.txt"), names that name
# nothing, and an existing file whose name the code page spells.
DATA_FILE, DATA_FOLDER = r"данные\файл.txt", APP_DIR + r"\данные"
NO_FILE, NO_FILE_TOO = "ничего.txt", "нет.txt"
SPELLABLE_FILE = r"données\café.txt"
# Code page 1252 beyond Latin-1 too ("„", "“", "€", "‰" lie in 0x80-0x9F).
HIGH = "Zürich,5€,„Grüße“,‰"

CASES = [
    cyrillic_app("any script: a Cyrillic application folder started by its full path: "
                 "configuration found, Java started there, its Cyrillic jar as an existing short path"),
    cyrillic_app("any script: typed in a console in a Cyrillic folder: the same launch",
                 start="console"),
    Case("any script: -d in a Cyrillic folder: boxes show the names as written, trace and "
         "error lines as the code page spells them; a Cyrillic include that cannot be opened",
         app_dir=CYRILLIC_APP, args=["-d"],
         config=Encoded(f"mainclass Main\njavapath {JAVA}\ninclude {MISSING_INCLUDE}\n", UTF8),
         boxes=debug_greeting(CYRILLIC_APP) + [
             Box("Reading Config file", MISSING_INCLUDE), Box("MainClass is", "Main"),
             Box("Javapath is", JAVA), Box("Command Line is", JAVA + " Main")],
         stdout=f"reading app config {ansi_spelling(CYRILLIC_APP)}\\viewer.config\n"
                "cmdLine is 50 chars long\nCreateProcess ret 1, exitCode=0\n",
         stderr=f"Can't open {ansi_spelling(MISSING_INCLUDE)} Error No such file or directory\n",
         java=Java(command_line=JAVA + " Main", cwd=CYRILLIC_APP)),
    cyrillic_home("any script: a UTF-8 configuration with a byte order mark names a Cyrillic "
                  "Java home, class folder and jar folder: Java gets each as an existing short path",
                  Encoded(CYRILLIC_HOME_CONFIG, UTF8)),
    cyrillic_home("any script: the same in UTF-8 without a byte order mark, as Notepad saves it",
                  Encoded(CYRILLIC_HOME_CONFIG, "utf-8")),
    cyrillic_home("any script: the same in UTF-16 LE after its byte order mark, as Windows "
                  "PowerShell 5.1 writes it, its jar folder in an include in UTF-8 without one: "
                  "each file decides for itself",
                  Encoded("\ufeff" + CYRILLIC_HOME_CONFIG.replace("addjars библиотека",
                                                              "include more.config"),
                          "utf-16-le"),
                  {"more.config": Encoded("addjars библиотека\n", "utf-8")}),
    Case("any script: a registry JavaHome in Cyrillic: Java's executable as an existing short path",
         config="mainclass Main\njavaVersion 1.4.2_08\n",
         registry=Registry((Runtime("1.4.2_08", CYRILLIC_HOME),)),
         java=Java(command_line=short(r'"C:\Java\*\bin\javaw.exe" Main'),
                   image=CYRILLIC_HOME + r"\bin\javaw.exe")),
    Case("any script: $NAME with a Cyrillic value (a user's Java home): executable and class "
         "path as existing short paths",
         config="mainclass Main\njavapath $JAVA_HOME\\bin\\javaw.exe\n"
                "addpath $JAVA_HOME\\lib\\ext.jar\n",
         env={"JAVA_HOME": CYRILLIC_HOME},
         files={**CYRILLIC_HOME_FILES, CYRILLIC_HOME + r"\lib\ext.jar": ""},
         java=Java(command_line=short('"C:/Java/*/bin/javaw.exe" -classpath "C:/Java/*/lib/ext.jar" '
                                      "Main"),
                   args=["-classpath", Existing(short("C:/Java/*/lib/ext.jar")), "Main"],
                   image=CYRILLIC_HOME + r"\bin\javaw.exe")),
    Case("any script: a Greek and Chinese application name is the caption and text of the box "
         "when no Java fits; a Cyrillic javaHome is listed as written; Yes opens the page",
         config=Encoded(f"appname {APP_NAME}\nmainclass Main\nminJava 11\n"
                        f"javaHome {CYRILLIC_HOME}\ndownloadPage https://example.com/get-java\n",
                        UTF8),
         files={**CYRILLIC_HOME_FILES, CYRILLIC_HOME + r"\release": 'JAVA_VERSION="1.8.0_392"\n'},
         registry=Registry(root=False), answers={APP_NAME: "yes"}, status=11,
         boxes=[Box(APP_NAME, f"{APP_NAME} needs Java 11 or later.\n\nFound on this computer:\n"
                              f"{CYRILLIC_HOME}: Java 1.8.0_392, 64-bit, too old\n\n"
                              "Do you want to open the download page?",
                    buttons="yes,no", icon=True)],
         browser=["https://example.com/get-java"]),
    Case("any script: arguments that name a file or folder in a Cyrillic folder reach Java as "
         "existing short paths, those naming nothing as the code page spells them, quoted so "
         "that Java takes no '?' of theirs for a wildcard, spellable ones as written",
         args=[DATA_FILE, NO_FILE, SPELLABLE_FILE],
         config=Encoded(f"mainclass Main\njavapath {JAVA}\nargument {DATA_FOLDER}\n"
                        f"argument {NO_FILE_TOO}\nargument {SPELLABLE_FILE}\n", UTF8),
         files={DATA_FILE: "data", SPELLABLE_FILE: "data"},
         java=Java(
             command_line=short(f'{JAVA} Main *\\*.TXT "{ansi_spelling(NO_FILE)}" {SPELLABLE_FILE} '
                                f'{APP_DIR}\\* "{ansi_spelling(NO_FILE_TOO)}" {SPELLABLE_FILE} '),
             wide_command_line=short(f'{JAVA} Main *\\*.TXT "{NO_FILE}" {SPELLABLE_FILE} '
                                     f'{APP_DIR}\\* "{NO_FILE_TOO}" {SPELLABLE_FILE} '),
             args=["Main", Existing(short("*\\*.TXT")), ansi_spelling(NO_FILE),
                   Existing(SPELLABLE_FILE), Existing(short(APP_DIR + "\\*")),
                   ansi_spelling(NO_FILE_TOO), Existing(SPELLABLE_FILE)])),
    Case("any script: code page 1252 text with high bytes reaches Java byte for byte, "
         "whether from a file without a byte order mark or one with it; each include decides",
         args=["-d"],
         config=f"mainclass Main\njavapath {JAVA}\nvmparam -Dansi={HIGH}\n"
                f"include utf8.config\nargument {HIGH}\n",
         files={"utf8.config": Encoded(f"vmparam -Dutf8={HIGH}\ninclude ansi.config\n", UTF8),
                "ansi.config": f"vmparam -Dincluded={HIGH}\n"},
         boxes=DEBUG_GREETING + [
             Box("Reading Config file", "utf8.config"), Box("Reading Config file", "ansi.config"),
             Box("MainClass is", "Main"), Box("Javapath is", JAVA),
             Box("Command Line is", f"{JAVA} -Dansi={HIGH} -Dutf8={HIGH} -Dincluded={HIGH} Main "
                                    f"{HIGH} ")],
         stdout_has=[f"vmparam 0=-Dansi={HIGH}", f"vmparam 1=-Dutf8={HIGH}",
                     f"vmparam 2=-Dincluded={HIGH}"],
         java=Java(command_line=f"{JAVA} -Dansi={HIGH} -Dutf8={HIGH} -Dincluded={HIGH} Main "
                                f"{HIGH} ",
                   args=[f"-Dansi={HIGH}", f"-Dutf8={HIGH}", f"-Dincluded={HIGH}", "Main", HIGH])),
]
