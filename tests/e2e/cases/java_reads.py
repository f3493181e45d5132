"""What Java reads of its command line: a class-path entry with a blank stays
whole, an argument reaches Java quoted as its caller quoted it (Java expands
an unquoted wildcard itself), a VM option that is an "@file" stays on the
command line beside the launcher's own argument file, where Java expands it,
and a character that the code page turns into a quote is escaped as one."""
from harness.case import AnyOrder, Case, Java, OneOf
from harness.world import java_home

from .configuration import HEAD, JAVA
from .lifetime import ARGUMENT_FILE, CLASS_PATH, ENTRIES, JDK, STAND_IN

PLUGIN_LINES = [f"{JAVA} -classpath {order} Main"
                for order in ('lib/a.jar;"lib/plugin (1).jar"', '"lib/plugin (1).jar";lib/a.jar')]

CASES = [
    Case("java reads: addjars finds plugin (1).jar: quoted, the class path one argument",
         config=HEAD + "addjars lib\n", files={"lib\\a.jar": "", "lib\\plugin (1).jar": ""},
         java=Java(command_line=OneOf(*PLUGIN_LINES),
                   args=["-classpath", AnyOrder(";", ["lib/a.jar", "lib/plugin (1).jar"]), "Main"])),
    # cmd.exe passes a batch file's line to the program as written. The
    # stand-in expands no wildcards; its raw line shows which Java would.
    Case('java reads: "*.txt" reaches Java quoted, *.txt unquoted, as the caller typed them',
         files={"run.cmd": '@viewer "*.txt" *.txt\r\n', "a.txt": "", "b.txt": ""},
         config=HEAD, start="console", typed="run",
         java=Java(command_line=f'{JAVA} Main "*.txt" *.txt ', args=["Main", "*.txt", "*.txt"])),
    Case("java reads: vmparam @opts.txt stays on the command line before the argument file",
         config=(f"mainclass Main\njavapath {STAND_IN}\nvmparam -Dfirst=1\nvmparam @opts.txt\n"
                 "vmparam -Dlast=1\n" + "".join(f"addpath {entry}\n" for entry in ENTRIES)),
         files={**java_home(JDK, release="17.0.2"), "opts.txt": "-Dfrom.opts=1\n"},
         java=Java(args=["-Dfirst=1", "@opts.txt", ARGUMENT_FILE, "Main"],
                   argument_file=["-Dlast=1", "-classpath", CLASS_PATH])),
    # Java reads its line in the code page, where best fit makes the fullwidth
    # quote U+FF02 a '"': the launcher escapes that quote.
    Case("java reads: a fullwidth quote, which code page 1252 turns into a quote, is escaped",
         config=HEAD, args=["say \uff02hi\uff02"],
         java=Java(command_line=f'{JAVA} Main "say \\"hi\\"" ', args=["Main", 'say "hi"'])),
]
