"""Finding Java through the registry: version resolution, the download
prompts and pages, and the current runtime when no version is asked for."""
from harness.case import STANDARD, Box, Case, Java, NO_TITLE
from harness.world import Registry, Runtime, StandIn

from .startup import DEBUG_GREETING

ROOT = r"SOFTWARE\JavaSoft\Java Runtime Environment"
PAGE_142 = "http://java.sun.com/j2se/1.4.2/download.html"
PAGE_LATEST = "http://www.java.com/en/download/download_the_latest.jsp"
J142_08 = r'"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe"'
NOT_FOUND = "Java Runtime Environment Not Found"
INCOMPATIBLE = "Incompatible JRE Version Found"


def prompt(caption: str, label: str, version: str) -> Box:
    return Box(caption, f"{label} requires the Java Runtime Environment version {version}\n"
                        "Do you want to download it?", buttons="yes,no", icon=True)


def error(text: str) -> Box:
    return Box("Error!", text, icon=True)


def without_home(version: str) -> Registry:
    return Registry(tuple(Runtime(r.version, None if r.version == version else r.home)
                          for r in STANDARD.runtimes), STANDARD.current)


def asking(name: str, version: str, **expected) -> Case:
    """A case whose configuration asks for a version, after naming the application."""
    return Case(name, config=f"appname Example Viewer\nmainclass Main\njavaVersion {version}\n",
                **expected)


def default_java(name: str, registry: Registry, *boxes: Box, **expected) -> Case:
    """A case with neither javapath nor javaVersion: the current runtime is used."""
    return Case(name, config="mainclass Main\n", registry=registry, boxes=list(boxes), **expected)


CASES = [
    asking(
        "javaVersion 1.4.2: the highest 1.4.2 patch release", "1.4.2",
        stdout_has=["javaVersion=1.4.2, javaVer=1.4.2", "No patch level found in 1.4.2",
                    "checking patch level 3 against 0", "found latest java version 1.4.2_03",
                    "checking patch level 8 against 3", "found latest java version 1.4.2_08"],
        java=Java(command_line=J142_08 + " Main"),
    ),
    asking("javaVersion 1.4.2_08+: an equal patch level is enough", "1.4.2_08+",
           stdout_has=["checking patch level 8 against 8", "found latest java version 1.4.2_08"],
           java=Java(command_line=J142_08 + " Main")),
    asking("javaVersion 1.4: the highest patch among every 1.4 name", "1.4",
           stdout_has=["found latest java version 1.4.2_08"],
           java=Java(command_line=J142_08 + " Main")),
    asking("javaVersion 1.5.0_06: an exact release is opened without enumerating", "1.5.0_06",
           stdout="", java=Java(command_line=r"C:\Java\jre1.5.0_06\bin\javaw.exe Main")),
    Case("javaVersion 1.5.0 with only 1.5.0 and 1.5.0_00: patch level 0 keeps 1.5.0",
         config="mainclass Main\njavaVersion 1.5.0\n",
         registry=Registry((Runtime("1.5.0", r"C:\Java\jre1.5.0"),
                            Runtime("1.5.0_00", r"C:\Java\jre1.5.0_06"))),
         stdout_has=["checking patch level 0 against 0"],
         java=Java(command_line=r"C:\Java\jre1.5.0\bin\javaw.exe Main")),
    asking("javaVersion 1.4.2_09+, No: the incompatible-version prompt, status 11", "1.4.2_09+",
           status=11, boxes=[prompt(INCOMPATIBLE, "Example Viewer", "1.4.2_09+")],
           stdout_has=["checking patch level 8 against 9"]),
    asking("javaVersion 1.4.2_09+, Yes: the 1.4.2 page opens, status 11", "1.4.2_09+",
           answers={INCOMPATIBLE: "yes"}, status=11,
           boxes=[prompt(INCOMPATIBLE, "Example Viewer", "1.4.2_09+")], browser=[PAGE_142]),
    asking("javaVersion 1.4.2_05 not installed, Yes: the 1.4.2 page opens, status 5", "1.4.2_05",
           answers={NOT_FOUND: "yes"}, status=5, stdout="",
           boxes=[prompt(NOT_FOUND, "Example Viewer", "1.4.2_05")], browser=[PAGE_142]),
    asking("a rundll32.exe beside the launcher, in its current directory, is not run: Yes opens "
           "the page through the system's own", "1.4.2_05",
           files={"rundll32.exe": StandIn(False)}, answers={NOT_FOUND: "yes"}, status=5,
           boxes=[prompt(NOT_FOUND, "Example Viewer", "1.4.2_05")], browser=[PAGE_142]),
    Case("javaVersion 1.5.0_07 not installed, no appname, Yes: main class named, latest page",
         config="mainclass com.example.Main\njavaVersion 1.5.0_07\nappname Too Late\n",
         answers={NOT_FOUND: "yes"}, status=5,
         boxes=[prompt(NOT_FOUND, "com.example.Main", "1.5.0_07")], browser=[PAGE_LATEST]),
    Case("javaVersion 1.6.0 before mainclass, Yes: (null) named, no page for 1.6",
         config="javaVersion 1.6.0\nmainclass Main\n", answers={NOT_FOUND: "yes"}, status=5,
         boxes=[prompt(NOT_FOUND, "(null)", "1.6.0")]),
    asking("javaVersion 1.5+, Yes: the '+' stays in the name, nothing matches, latest page",
           "1.5+", answers={NOT_FOUND: "yes"}, status=5,
           stdout_has=["javaVersion=1.5+, javaVer=1.5+"],
           boxes=[prompt(NOT_FOUND, "Example Viewer", "1.5+")], browser=[PAGE_LATEST]),
    asking("a version without JavaHome: its key path is named, status 5", "1.4.2_03",
           registry=without_home("1.4.2_03"), status=5,
           boxes=[error(f"No Java Home Directory Found for {ROOT}\\1.4.2_03 ")]),
    asking("no runtime root key: javaVersion 1.4.2 ends in the prompt, status 11", "1.4.2",
           registry=Registry(root=False), status=11,
           boxes=[prompt(NOT_FOUND, "Example Viewer", "1.4.2")]),
    Case("an empty javaVersion: status 5 and nothing shown",
         config="mainclass Main\njavaVersion \n", status=5, stdout=""),
    default_java("no javapath, no javaVersion: the current version's javaw.exe, no title",
                 STANDARD, java=Java(command_line=r"C:\Java\jre1.5.0\bin\javaw.exe Main",
                                     title=NO_TITLE)),
    default_java("no runtime root key: no Java installation found", Registry(root=False),
                 error("No Java Installation Found")),
    default_java("no CurrentVersion: no Java installation found", STANDARD.with_current(None),
                 error("No Java Installation Found")),
    default_java("CurrentVersion names a missing key", STANDARD.with_current("1.7"),
                 error("No Java Installation (No Current Version) Found")),
    default_java("the current version has no JavaHome", without_home("1.5.0"),
                 error("No Java Installation Home Directory Found")),
    Case("-d, no CurrentVersion: the registry diagnostic comes before the error",
         config="mainclass Main\n", args=["-d"], registry=STANDARD.with_current(None),
         boxes=DEBUG_GREETING + [
             Box("MainClass is", "Main"),
             Box("Error Reading Registry", "Java Current Version Key", icon=True),
             error("No Java Installation Found")]),
]
