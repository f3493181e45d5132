"""The configuration file: its format, include files, jar directories,
$NAME expansion and the arguments that reach Java."""
from harness.case import Box, Case, Java
from harness.world import DIRECTORY

from .startup import DEBUG_GREETING

JAVA = r"C:\Java\j2re1.4.2\bin\java.exe"
JAVAW = r"C:\Java\j2re1.4.2\bin\javaw.exe"
HEAD = f"mainclass Main\njavapath {JAVA}\n"   # a launch without the registry
APPDIR = r"C:\Program Files\Viewer"

CASES = [
    Case(
        "format: CR LF, comments, unknown keys, prefixes, tabs, final line without line feed",
        config=("# comment\r\n/ slash\r\n/* block */\r\n// double\r\n\r\n"
                "MainClass Wrong\r\n mainclass Indented\r\nmainclass\r\n"
                "vmparamX -Dy=1\r\nvmparam  -Dtwo.blanks=1\r\nvmparam\t-Dtab=1\r\n"
                "vmparam\t-Dtab and blank\r\nunknown key\r\n"
                f"javapath {JAVA}\r\ninclude ctrlz.config\r\nmainclass com.example.Main"),
        files={"ctrlz.config": "vmparam -Dbefore.ctrlz=1\r\n\x1avmparam -Dlost=1\r\n"},
        java=Java(command_line=JAVA + " -Dy=1  -Dtwo.blanks=1 and blank -Dbefore.ctrlz=1"
                                      " com.example.Main"),
    ),
    Case(
        "include: lines take effect in place; $NAME with a blank; a missing file is skipped",
        config=HEAD + "vmparam -Dbefore=1\ninclude common.config\nvmparam -Dafter=1\n"
                      "include $CONF\\extra.config\ninclude missing.config\nvmparam -Dlast=1\n",
        env={"CONF": r"C:\Apps\Viewer\my conf"},
        files={"common.config": "vmparam -Dcommon=1\nargument from-common\n",
               r"my conf\extra.config": "addpath extra.jar\n"},
        stderr="Can't open missing.config Error No such file or directory\n",
        java=Java(command_line=JAVA + " -Dbefore=1 -Dcommon=1 -Dafter=1 -Dlast=1"
                                      " -classpath extra.jar Main from-common "),
    ),
    Case(
        "include cycle: the file being read is not read again",
        config=HEAD + "include second.config\nvmparam -Dmain=1\n",
        files={"second.config": "vmparam -Dsecond=1\ninclude viewer.config\n"},
        stderr="Can't include viewer.config: it is already being read\n",
        java=Java(command_line=JAVA + " -Dsecond=1 -Dmain=1 Main"),
    ),
    Case(
        "addjars: jars after every addpath/addjar, subdirectories and other files skipped, also "
        "names that only their short (8.3) names end in .JAR (plugin.jar_disabled, app.jarold)",
        config=HEAD + "addjars lib\naddpath classes\naddjar extra\\x.jar\n"
                      "addjars nothing-here\naddjars C:\\Apps\\Viewer\\lib\n",
        files={"lib\\b.jar": "", "lib\\a.jar": "", "lib\\C.JAR": "", "lib\\readme.txt": "",
               "lib\\old.jar": DIRECTORY, "lib\\old.jar\\inner.jar": "",
               "lib\\plugin.jar_disabled": "", "lib\\app.jarold": ""},
        java=Java(command_line=JAVA + r" -classpath classes;extra\x.jar;lib/a.jar;lib/b.jar;"
                                      r"lib/C.JAR;C:\Apps\Viewer\lib/a.jar;"
                                      r"C:\Apps\Viewer\lib/b.jar;C:\Apps\Viewer\lib/C.JAR Main"),
    ),
    Case(
        "$NAME: quoted when the value has a blank, each piece one argument for Java",
        config=HEAD + "vmparam -Dviewer.home=$APPDIR\n"
                      "vmparam -Xbootclasspath/a:$APPDIR\\boot.jar\n"
                      "vmparam -Dname=$appdir\n"
                      "vmparam -Dmissing=$NOSUCHVAR\\x\n"
                      "vmparam -Dtwice=$APPDIR\\a\\$APPDIR\n"
                      "addpath $APPDIR\\lib\\viewer.jar\n"
                      "addjar $LIBDIR\\x.jar\n"
                      "addpath $APPDIR/lib\\x.jar\n"
                      "addjars $APPDIR\\lib\n"
                      "argument $APPDIR\n"
                      "consoleTitle $APPDIR\n",
        env={"APPDIR": APPDIR, "LIBDIR": "D:\\libs\\"},
        files={APPDIR + r"\lib\found.jar": ""},
        java=Java(
            command_line=JAVA + ' -Dviewer.home="C:/Program Files/Viewer"'
                                ' "-Xbootclasspath/a:C:/Program Files/Viewer/boot.jar"'
                                ' -Dname="C:/Program Files/Viewer"'
                                ' -Dmissing=$NOSUCHVAR\\x'
                                ' -Dtwice="C:/Program Files/Viewer/a/$APPDIR"'
                                ' -classpath "C:/Program Files/Viewer/lib/viewer.jar";'
                                'D:/libs/x.jar;$APPDIR/lib\\x.jar Main $APPDIR ',
            args=["-Dviewer.home=C:/Program Files/Viewer",
                  "-Xbootclasspath/a:C:/Program Files/Viewer/boot.jar",
                  "-Dname=C:/Program Files/Viewer", "-Dmissing=$NOSUCHVAR\\x",
                  "-Dtwice=C:/Program Files/Viewer/a/$APPDIR", "-classpath",
                  "C:/Program Files/Viewer/lib/viewer.jar;D:/libs/x.jar;$APPDIR/lib\\x.jar",
                  "Main", "$APPDIR"],
            title='"C:/Program Files/Viewer"'),
    ),
    Case(
        "-d: an unset variable and a missing jar directory are reported; javapath as written",
        config=f"mainclass Main\njavapath {JAVAW}\nvmparam -Dx=$NOSUCH\naddjars nowhere\n",
        args=["-d"],
        boxes=DEBUG_GREETING + [Box("Can't find variable", "NOSUCH"), Box("MainClass is", "Main"),
                                Box("Javapath is", JAVAW),
                                Box("Command Line is", JAVAW + " -Dx=$NOSUCH Main")],
        stdout="reading app config C:\\Apps\\Viewer\\viewer.config\n"
               "No jar files found in [nowhere]\nvmparam 0=-Dx=$NOSUCH\n"
               "cmdLine is 64 chars long\nCreateProcess ret 1, exitCode=0\n",
        java=Java(command_line=JAVAW + " -Dx=$NOSUCH Main", image=JAVAW),
    ),
    Case(
        "arguments: each reaches Java whole: blanks, empty, quotes, trailing backslash",
        args=["first arg", "second"],
        config=HEAD + "argument My File.txt\nargument \nargument say \"hi\"\n"
                      "argument C:\\My Dir\\\nargument tab\there\nargument a\\\\b\n",
        java=Java(
            command_line=JAVA + ' Main "first arg" second "My File.txt" "" "say \\"hi\\""'
                                ' "C:\\My Dir\\\\" "tab\there" a\\\\b ',
            args=["Main", "first arg", "second", "My File.txt", "", 'say "hi"', "C:\\My Dir\\",
                  "tab\there", "a\\\\b"]),
    ),
    Case(
        "javapath before javaVersion is replaced by the located runtime",
        config=HEAD + "javaVersion 1.4.2_03\n",
        java=Java(command_line=r"C:\Java\j2re1.4.2_03\bin\javaw.exe Main"),
    ),
    Case(
        "javapath after javaVersion is kept",
        config="mainclass Main\njavaVersion 1.4.2_03\n" + f"javapath {JAVA}\n",
        java=Java(command_line=JAVA + " Main", image=JAVA),
    ),
    Case(
        "no mainclass line: an error box and no launch",
        config=f"javapath {JAVA}\nvmparam -Dx=1\n",
        boxes=[Box("Error", "No main class is named in the configuration", icon=True)],
    ),
]
