"""Starting Java and reporting how it ended."""
from harness.case import Box, Case, Java

JAVA = r"C:\Java\j2re1.4.2\bin\java.exe"
# JAVA (30 characters), "-D", "Main" and the blanks between take 38 of the
# command line: "-D" and LONGEST more characters make it 32766 long, the
# most Windows takes.
LONGEST = 32766 - 38


def long_vmparam(length: int) -> str:
    return f"mainclass Main\njavapath {JAVA}\nvmparam -D" + "x" * length + "\n"


def launch_error(java: str, code: int) -> Box:
    return Box("Error", f"Error launching Class Main\n with Java {java}.\nError={code}", icon=True)


CASES = [
    Case("Java exits with 1: the error box names class, Java and code; status 0",
         config="mainclass Main\njavaVersion 1.4.2_08\n", java_exit=1,
         boxes=[launch_error(r'"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe"', 1)],
         java=Java(command_line=r'"C:\Program Files\Java\j2re1.4.2_08\bin\javaw.exe" Main')),
    Case("Java exits with -1: shown as a signed number",
         config=f"mainclass Main\njavapath {JAVA}\n", java_exit=-1,
         boxes=[launch_error(JAVA, -1)], java=Java(command_line=JAVA + " Main")),
    Case("a Java program that does not exist: the start failure's system code",
         config="mainclass Main\njavapath C:\\Java\\nowhere\\java.exe\n",
         boxes=[launch_error(r"C:\Java\nowhere\java.exe", 2)]),
    Case("an empty javapath: no registry lookup, the start fails",
         config="mainclass Main\njavapath \n", boxes=[launch_error("", 2)]),
    Case("a command line of exactly 32766 characters starts",
         config=long_vmparam(LONGEST),
         java=Java(command_line=JAVA + " -D" + "x" * LONGEST + " Main")),
    Case("a command line of 32767 characters: refused with a box",
         config=long_vmparam(LONGEST + 1),
         boxes=[Box("Error", "The Java command line is 32767 characters long; "
                             "Windows accepts at most 32766\n"
                             "Java 9 or later would take a line this long.", icon=True)]),
]
