"""The service launcher (launchersvc.exe, as agent.exe) under Wine's service
control manager: install, start, the stand-in Java running as the service,
`sc query` and `status` in every state, a stop that Java takes as Ctrl+C
(its shutdown work done) or ignores (its job ended after the stop
timeout), a Java that ends with 3, and the log's lines."""
from harness.case import Matches
from harness.service import (JAVA, LOG, Command, JavaGone, JavaStarted, JavaWaits, Log, Query,
                             Sc, ServiceCase)

HEAD = f"mainclass Main\njavapath {JAVA}\nargument --serve\n"
RUNNING = Matches(r"agent: running, Java process \d+")
STARTED = Matches(r"agent started Java, process \d+")
NOT_INSTALLED = Command(("status",), 4, "agent: not installed")

CASES = [
    ServiceCase(
        "service: installed, started with parameters, running; stopped with Ctrl+C, its Java's "
        "shutdown work done; uninstalled",
        config=HEAD + "appname Example Agent\nserviceDescription Serves examples\n"
                      "serviceStopTimeout 10\n",
        stand_in={"ready": "yes", "CORVANE_E2E_JAVA_STDOUT": "Java's own line%0A"},
        steps=(NOT_INSTALLED,
               Command(("install",), 0, "agent: installed"),
               Command(("status",), 3, "agent: stopped, last exit status 1077"),
               Sc(("start", "agent", "one", "two words")),
               JavaWaits(),
               Query("RUNNING"),
               Command(("status",), 0, RUNNING),
               Command(("stop",), 0, "agent: stopped, last exit status 0"),
               Query("STOPPED", 0, 0),
               JavaStarted(1, ("Main", "one", "two words", "--serve"), "ctrl-c"),
               JavaGone(),
               Log(("Starting (Corvane 1.0.8)", STARTED, "Stop requested",
                    "Ctrl+C sent to Java, which has 10 seconds to end", "agent stopped"),
                   java_lines=("Java's own line",)),
               Command(("uninstall",), 0, "agent: uninstalled"),
               NOT_INSTALLED)),
    ServiceCase(
        "service: a Java that ignores Ctrl+C is ended after serviceStopTimeout, at a stop and "
        "at a restart",
        config=HEAD + "serviceStopTimeout 2\n",
        stand_in={"CORVANE_E2E_JAVA_DEAF": "1", "CORVANE_E2E_JAVA_HOLD": r"C:\never"},
        steps=(Command(("install",), 0, "agent: installed"),
               Command(("start",), 0, RUNNING),
               JavaStarted(1, ("Main", "--serve")),
               Command(("restart",), 0, RUNNING),
               JavaStarted(2),
               Command(("stop",), 0, "agent: stopped, last exit status 0"),
               JavaGone(),
               Log(("Starting (Corvane 1.0.8)", STARTED, "Stop requested",
                    "Ctrl+C sent to Java, which has 2 seconds to end",
                    "Java has not ended within 2 seconds: ending it", "agent stopped") * 2))),
    ServiceCase(
        "service: a Java that ends with 3 stops the service with service-specific code 3; "
        "installed with -d, its trace lines in the log",
        config=HEAD,
        stand_in={"CORVANE_E2E_JAVA_EXIT": "3"},
        steps=(Command(("install", "-d"), 0,
                       Matches(r"Reading Config file: .*\nagent: installed")),
               Command(("start",), 1, "agent: stopped, last exit status 3"),
               Query("STOPPED", 1066, 3),
               Command(("status",), 3, "agent: stopped, last exit status 3"),
               JavaStarted(1, ("Main", "--serve")),
               Log(("Starting (Corvane 1.0.8)",
                    r"reading app config C:\Services\Agent\agent.config",
                    r"Reading App Config file: [C:\Services\Agent\agent.config]",
                    r"Reading Config file: C:\Services\Agent\agent.config",
                    f"Javapath is: {JAVA}",
                    Matches(r"cmdLine is \d+ chars long"),
                    f"Command Line is: {JAVA} Main --serve ",
                    STARTED,
                    "CreateProcess ret 1, exitCode=3",
                    "agent stopped: Java ended with status 3")),
               Command(("uninstall",), 0, "agent: uninstalled"))),
    ServiceCase(
        "service: a Java that cannot be started stops the service with code 126, the reason "
        "in the log",
        config="mainclass Main\njavapath C:\\Services\\Agent\\nowhere\\java.exe\n",
        steps=(Command(("install",), 0, "agent: installed"),
               Command(("start",), 1, "agent: stopped, last exit status 126"),
               Query("STOPPED", 1066, 126),
               Log(("Starting (Corvane 1.0.8)",
                    "Error: Error launching Class Main",
                    r" with Java C:\Services\Agent\nowhere\java.exe.",
                    "Error=2",
                    r"agent stopped: no Java ran (status 126); the reason is in " + LOG)),
               Command(("uninstall",), 0, "agent: uninstalled"))),
]
