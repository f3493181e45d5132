// The whole-launch fault sweep. Each world below is a realistic launch. It
// runs once as it is (the baseline), then again and again with its Nth
// system call failing (every platform entry but memory), for N = 1, 2, ...
// until a run makes fewer than N calls; then once for each allocation site
// (each call path that allocates), with that site's first allocation
// failing. Every run must
//   - end with an exit status its launcher documents (and, under the
//     sanitizers, clean);
//   - claim nothing that did not happen: a started Java is a program that
//     exists (never one named by a half-read text); status 0 where the
//     baseline started Java comes with a Java started or a word why none
//     was, status 2 always with a word (a word: a box, or a line on
//     standard error);
//   - tell the user when the fault changed the outcome (the exit status or
//     the Java command line): a box or a standard-error line the baseline
//     does not show. Two changes need no word: a different installed Java
//     (a runtime that cannot be examined counts as not installed), and
//     what a failure the launcher cannot tell from absence gives (kSilent);
//   - when a system call failed, return to its entry (nothing below the
//     entry ends the process) and leave nothing open: no file, listing,
//     key, process, thread, job, held file, instance mark, pipe, lock or
//     log, and no argument file in the temporary folder; and never read a
//     pipe in a way that would wait for ever, or take a lock it holds;
//   - when an allocation failed, end with status 2 and "Out of memory" (the
//     one way out that ends the process where it is met; the system gives
//     back what is open) or, where the launcher asks for memory it can do
//     without, return as above.
// The service launcher's worlds run it as the service control manager
// starts it: what it tells is its log and its events, what it opens
// includes the service's handles, and every run that could report its
// status ends reporting the service stopped, with the status it returns.
// A new world is one entry of kWorlds.
#include <string>
#include <vector>

#include "app/main_sequence.h"
#include "app/service_main.h"
#include "service/service_settings.h"
#include "launcher_test.h"
#include "runtime/runtime_registry.h"
#include "support/java_homes.h"

namespace {

struct World {
  const char* name;
  void (*install)();
  std::vector<std::string> arguments;  // the first is the program as started
  LauncherVariant variant;             // the launcher that runs it
  std::vector<int> statuses;           // the exit statuses that launcher documents
};

const std::vector<int> kLauncherStatuses = {0, 2, 5, 11};
// The console launcher's own, and 1: its tools' Java ends with 1 here, so a
// 0 would claim a success that Java did not report; 259 when Java's end or
// exit code could not be read.
const std::vector<int> kConsoleStatuses = {1, 2, 5, 11, 12, 125, 126, 127, 259};
// The service's: its service-specific codes, the console launcher's
// statuses; 0 when it was stopped or its Java ended with 0.
const std::vector<int> kServiceStatuses = {0, 1, 2, 5, 11, 12, 125, 126, 127, 259};

// What a run did, as far as the checks look.
struct LaunchRun {
  bool exited;
  int status;
  std::vector<std::string> java;  // the command lines of the started programs but the browser
  std::vector<std::string> told;  // shown boxes and standard-error lines
  std::string failedCall;         // the entry the fault struck; empty when none did
  int callCount;
  int leftOpen;                   // what the fake counts as open
  int filesLeft;                  // argument files still in the temporary folder
  int hazards;                    // reads that would wait for ever, a lock taken twice
  bool serviceEnded;              // the service's last report: stopped, with the status
  // A service that ran out of memory before its log was open: it wrote
  // nothing, and the service control manager records its unexpected end.
  bool endedBeforeItsLog;
};

// Failures the launcher cannot tell from absence, and takes for it without a
// word, as it takes the absence: a key or value that cannot be read, a
// directory that cannot be listed, a variable that cannot be read, a path
// whose short form cannot be had, a program path that cannot be read. And
// two more: a text the code page is taken not to spell (Java gets its short
// form, which names the same file), and a change of directory, whose failure
// the launcher does not report. Then Java's lifetime, where a failure leaves
// Java running as it ran before these features: a job that cannot be made or
// joined (a debug trace line says so), an instance that cannot be checked
// (this start runs its own Java), a process id that cannot be published or
// windows that cannot be brought forward (a later start brings nothing to
// the front), interrupts that still end the console launcher, and an
// argument file that cannot be removed (left in the temporary folder, as
// Java's own launcher leaves its files), and a Java the console launcher
// cannot wait for when its console closes (it ends at once then, as before).
// And the browser: a system directory that cannot be read opens no page, as
// a browser that cannot be started.
const std::vector<std::string> kSilent = {
    "registryOpen", "registryOpenSubkey", "registryQueryValue", "registrySubkeyCount",
    "registryEnumSubkey", "listFirst", "listNext", "environmentValue", "shortPath",
    "ansiCanSpell", "changeDirectory", "programPath", "createJob", "assignToJob",
    "claimInstance", "publishInstanceProcess", "bringWindowsForward",
    "outliveConsoleInterrupts", "awaitAtConsoleEnd", "removeFile", "systemDirectory",
    // A staged update that cannot be applied waits for a later start, the
    // old version runs, and -d says why; a wait cut short restarts Java sooner.
    "pathKind", "moveFile", "createDirectory", "removeDirectory", "writeFileDurably",
    "sleepMilliseconds"};

const char kViewerDirectory[] = "C:\\Program Files\\Example Viewer";
const char kViewer[] = "C:\\Program Files\\Example Viewer\\viewer.exe";

// A header like the ones vendors write, long enough that the file takes
// more than one read.
std::string licenseHeader() {
  std::string header;
  for (int i = 1; i <= 70; ++i)
    header += "# " + std::to_string(i) +
              ". Example Viewer is licensed to you under the terms of the agreement.\n";
  return header;
}

void registerJavaSoftRuntime(const std::string& version, const std::string& home) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\" + version, "JavaHome", home);
  fakeInstallJava(home, 32, "");
}

// A configuration with includes, jar directories and a javaVersion that
// resolves through the registry.
void installIncludesJarsAndVersion() {
  fake().programPath = kViewer;
  fakeSetEnvironment("VIEWER_HOME", kViewerDirectory);
  std::string directory = kViewerDirectory;
  fakeAddFile(directory + "\\viewer.config",
              licenseHeader() +
                  "appname Example Viewer\n"
                  "mainclass com.example.viewer.Main\n"
                  "include common.config\n"
                  "javaVersion 1.4.2_05+\n"
                  "vmparam -Dviewer.home=$VIEWER_HOME\n"
                  "addpath classes\n"
                  "addjars lib\n"
                  "addjars plugins\n"
                  "argument -open\n"
                  "consoleTitle Example Viewer\n");
  fakeAddFile(directory + "\\common.config", "vmparam -Xmx256m\ninclude settings\\memory.config\n");
  fakeAddFile(directory + "\\settings\\memory.config", "vmparam -Xss1m\n");
  for (const char* jar : {"viewer-ui.jar", "viewer-core.jar", "readme.txt"})
    fakeAddDirectoryEntry(directory + "\\lib", jar);
  fakeAddDirectoryEntry(directory + "\\lib", "old.jar", true);
  fakeAddDirectoryEntry(directory + "\\plugins", "export.jar");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.4");
  registerJavaSoftRuntime("1.4", "C:\\Program Files\\Java\\j2re1.4.2_08");
  registerJavaSoftRuntime("1.4.2", "C:\\Program Files\\Java\\j2re1.4.2_08");
  registerJavaSoftRuntime("1.4.2_03", "C:\\Program Files\\Java\\j2re1.4.2_03");
  registerJavaSoftRuntime("1.4.2_08", "C:\\Program Files\\Java\\j2re1.4.2_08");
  registerJavaSoftRuntime("1.5.0_06", "C:\\Program Files\\Java\\jre1.5.0_06");
}

// A runtime of the Java search: key below SOFTWARE, the value naming its home.
struct Registered {
  RegistryHive hive;
  RegistryView view;
  const char* key;
  const char* value;
  const char* home;
  int bits;
  const char* release;  // the release file's version; empty for none
};

// The Java search over a dozen runtimes of several vendors in both views and
// both hives, one seen through two keys, one whose files are gone.
void installJavaSearch() {
  static const Registered kRuntimes[] = {
      {kHiveLocalMachine, kView32Bit, "JavaSoft\\Java Runtime Environment\\1.8.0_392", "JavaHome",
       "C:\\Program Files (x86)\\Java\\jre1.8.0_392", 32, ""},
      {kHiveLocalMachine, kView32Bit, "JavaSoft\\Java Runtime Environment\\1.8", "JavaHome",
       "C:\\Program Files (x86)\\Java\\jre1.8.0_392", 32, ""},
      {kHiveLocalMachine, kView64Bit, "JavaSoft\\JDK\\17.0.9", "JavaHome",
       "C:\\Program Files\\Java\\jdk-17", 64, "17.0.9"},
      {kHiveLocalMachine, kView64Bit, "JavaSoft\\JDK\\22", "JavaHome", "C:\\Program Files\\Java\\jdk-22",
       0, ""},
      {kHiveLocalMachine, kView64Bit, "Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path",
       "C:\\Program Files\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\", 64, "21.0.1"},
      {kHiveLocalMachine, kView32Bit, "Eclipse Adoptium\\JRE\\17.0.8.7\\hotspot\\MSI", "Path",
       "C:\\Program Files (x86)\\Eclipse Adoptium\\jre-17.0.8.7-hotspot\\", 32, "17.0.8"},
      {kHiveLocalMachine, kView32Bit, "AdoptOpenJDK\\JDK\\11.0.21.9\\hotspot\\MSI", "Path",
       "C:\\Program Files (x86)\\AdoptOpenJDK\\jdk-11.0.21.9-hotspot\\", 32, "11.0.21"},
      {kHiveLocalMachine, kView64Bit, "Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI", "Path",
       "C:\\Program Files\\Microsoft\\jdk-17.0.9.8-hotspot\\", 64, "17.0.9"},
      {kHiveLocalMachine, kView64Bit, "Semeru\\JDK\\17.0.9.9\\openj9\\MSI", "Path",
       "C:\\Program Files\\Semeru\\jdk-17.0.9.9-openj9\\", 64, "17.0.9"},
      {kHiveLocalMachine, kView64Bit, "Azul Systems\\Zulu\\zulu-21", "InstallationPath",
       "C:\\Program Files\\Zulu\\zulu-21\\", 64, "21.0.1"},
      {kHiveLocalMachine, kView32Bit, "Azul Systems\\Zulu 32-bit\\zulu-11", "InstallationPath",
       "C:\\Program Files (x86)\\Zulu\\zulu-11\\", 32, "11.0.21"},
      {kHiveCurrentUser, kView64Bit, "BellSoft\\Liberica\\jdk-17", "InstallationPath",
       "C:\\Users\\ada\\Liberica\\jdk-17", 64, "17.0.9"},
      {kHiveCurrentUser, kView64Bit, "SapMachine\\JDK\\21.0.1", "JavaHome",
       "C:\\Users\\ada\\SapMachine\\jdk-21.0.1", 64, "21.0.1"},
  };
  fake().program64Bit = true;
  fake().programPath = kViewer;
  fakeSetEnvironment("JAVA_HOME", "C:\\Java\\jdk1.8.0_202");
  fakeInstallJava("C:\\Java\\jdk1.8.0_202", 64, "1.8.0_202");
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "appname Example Viewer\n"
              "mainclass com.example.viewer.Main\n"
              "downloadPage https://example.com/get-java\n"
              "minJava 11\n"
              "maxJava 21\n"
              "javaBits 64\n"
              "javaHome runtime\n"
              "javaHome $JAVA_HOME\n"
              "addpath classes\n");
  for (const Registered& runtime : kRuntimes) {
    fakeSetRegistryValue(runtime.hive, runtime.view, std::string("SOFTWARE\\") + runtime.key,
                         runtime.value, runtime.home);
    if (runtime.bits) fakeInstallJava(runtime.home, runtime.bits, runtime.release);
  }
}

// A launch whose paths need short names: an application, a Java home and an
// argument in Cyrillic, which the ANSI code page cannot spell; the
// registry's current runtime; a configuration written in UTF-8.
void installShortNames() {
  const std::string app = "C:\\Программы\\Просмотр";
  const std::string java = "C:\\Java\\Ява 1.5";
  fake().programPath = app + "\\viewer.exe";
  fakeSetEnvironment("APPDIR", app);
  fakeAddFile(app + "\\viewer.config",
              "\xEF\xBB\xBF"
              "appname Просмотр\n"
              "mainclass com.example.viewer.Main\n"
              "addjar $APPDIR\\lib\\ядро.jar\n"
              "addpath classes\n");
  fakeAddFile(app + "\\lib\\ядро.jar", "");
  fakeAddFile(app + "\\отчёт.txt", "");
  fakeSetShortPath(app, "C:\\7F3A~1\\2B5C~1");
  fakeSetShortPath(app + "\\lib\\ядро.jar", "C:\\7F3A~1\\2B5C~1\\lib\\8D1E~1.JAR");
  fakeSetShortPath(app + "\\отчёт.txt", "C:\\7F3A~1\\2B5C~1\\4C2B~1.TXT");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", java);
  fakeInstallJava(java, 32);
  fakeSetShortPath(java + "\\bin\\javaw.exe", "C:\\Java\\3E1A~1.5\\bin\\javaw.exe");
}

// Typed in a console in the application's directory, in debug mode: the
// registry's current runtime, every debug box and trace line.
void installDebugConsole() {
  fake().programPath = kViewer;
  fake().currentDirectory = kViewerDirectory;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "mainclass com.example.viewer.Main\nvmparam -Xmx64m\naddjars lib\n");
  fakeAddDirectoryEntry(std::string(kViewerDirectory) + "\\lib", "viewer.jar");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  registerJavaSoftRuntime("1.5", "C:\\Java\\jre1.5.0_06");
}

// An exact javaVersion that is not installed: the download prompt, answered
// Yes, opens the page; status 5.
void installMissingVersion() {
  fake().programPath = kViewer;
  fake().yesNoAnswer = kAnswerYes;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "appname Example Viewer\nmainclass com.example.viewer.Main\njavaVersion 1.4.2_05\n");
  registerJavaSoftRuntime("1.4.2_03", "C:\\Java\\j2re1.4.2_03");
}

// A command-line tool, in the console launcher: the registry's current
// runtime (java.exe), an argument, and a Java that ends with 1.
void installConsoleTool() {
  fake().programPath = "C:\\Tools\\convert.exe";
  fakeAddFile("C:\\Tools\\convert.config",
              "mainclass com.example.convert.Main\nvmparam -Xmx64m\naddjars lib\n");
  fakeAddDirectoryEntry("C:\\Tools\\lib", "convert.jar");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.8");
  registerJavaSoftRuntime("1.8", "C:\\Program Files\\Java\\jre1.8.0_392");
  fake().exitCodes.push_back(1);
}

// The same tool on PATH, typed by name in another folder, which holds a
// configuration of that name too: the exe's own is read, EXEDIR set, the
// relative paths made full, and Java runs in the caller's folder; the
// launcher has no console of its own (started detached).
void installConsoleToolFromAnotherFolder() {
  fake().programPath = "C:\\cli\\tools\\convert.exe";
  fake().currentDirectory = "C:\\cli\\work";
  fake().hasConsole = false;
  fakeAddFile("C:\\cli\\tools\\convert.config",
              "mainclass com.example.convert.Main\nvmparam -Dnative=$EXEDIR\\native\n"
              "addpath classes\naddjars lib\ninclude more.config\n");
  fakeAddFile("C:\\cli\\tools\\more.config", "javaHome runtime\n");
  fakeInstallJava("C:\\cli\\tools\\runtime", 32, "17.0.9");
  fakeAddDirectoryEntry("C:\\cli\\tools\\lib", "convert.jar");
  fakeAddFile("C:\\cli\\work\\convert.config", "mainclass Planted\njavapath planted.exe\n");
  fakeAddFile("C:\\cli\\work\\input.txt", "");
  fake().exitCodes.push_back(1);
}

// Java in its job, ending with an error: the box that reports it, and the
// job, the process and its thread all given back.
void installJavaFailsInItsJob() {
  fake().programPath = kViewer;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "appname Example Viewer\nmainclass com.example.viewer.Main\n"
              "javapath C:\\Java\\jre1.5.0_06\\bin\\javaw.exe\nconsoleTitle Example Viewer\n");
  fakeInstallJava("C:\\Java\\jre1.5.0_06", 32);
  fake().exitCodes.push_back(3);
}

// A class path past what a command line holds, for a Java 17 that the
// search found: Java gets its options through an argument file.
void installArgumentFile() {
  fake().program64Bit = true;
  fake().programPath = kViewer;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "appname Example Viewer\nmainclass com.example.viewer.Main\nminJava 11\n"
              "vmparam -Dviewer.name=\"Example Viewer\"\naddjars lib\n");
  for (int i = 0; i < 140; ++i)
    fakeAddDirectoryEntry(std::string(kViewerDirectory) + "\\lib",
                          "viewer-module-" + std::to_string(1000 + i) + "-" +
                              std::string(220, (char)('a' + i % 26)) + ".jar");
  fakeSetRegistryValue(kHiveLocalMachine, kView64Bit, "SOFTWARE\\JavaSoft\\JDK\\17.0.9", "JavaHome",
                       "C:\\Program Files\\Java\\jdk-17");
  fakeInstallJava("C:\\Program Files\\Java\\jdk-17", 64, "17.0.9");
}

// Started from the shell (no standard error of its own to give Java), with
// Java's log in a folder still to be made: both of Java's streams read into
// the log by threads of their own, and the last lines of its standard error
// in the box when it ends with 1.
void installLogsAndCaptures() {
  fake().programPath = kViewer;
  fake().standardErrorUsable = false;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              "appname Example Viewer\nmainclass com.example.viewer.Main\n"
              "javapath C:\\Java\\jre1.5.0_06\\bin\\javaw.exe\n"
              "javaLog logs\\viewer.log\njavaLogSize 1\njavaLogKeep 3\n");
  fakeInstallJava("C:\\Java\\jre1.5.0_06", 32);
  fake().javaWrites = {{1, "Example Viewer 2.1\r\n"},
                       {2, "Exception in thread \"main\" java.lang.NoClassDefFoundError: x\r\n"},
                       {2, "\tat com.example.viewer.Main.main(Main.java:12)\r\n"}};
  fake().exitCodes.push_back(1);
}

const char kSingleViewer[] = "singleInstance com.example.viewer\n";

// The first start of a singleInstance application: it holds the instance
// while its Java runs.
void installFirstInstance() {
  fake().programPath = kViewer;
  fakeAddFile(std::string(kViewerDirectory) + "\\viewer.config",
              std::string("appname Example Viewer\nmainclass com.example.viewer.Main\n") +
                  kSingleViewer);
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  registerJavaSoftRuntime("1.5", "C:\\Java\\jre1.5.0_06");
}

// A second start, of a command-line tool that runs already: status 12 and
// its line, the running one's windows brought forward, nothing started.
void installAnotherInstance() {
  installFirstInstance();
  fake().instances["Local\\Corvane.singleInstance.com.example.viewer"] = {4242};
  fake().exitCodes.push_back(1);  // should this start run a Java after all
}

// Java stages a new version (the launcher, its configuration and a jar)
// and ends with a restart code; the launcher applies the update and runs
// Java again with the configuration read anew, holding one instance and one
// job throughout. The second Java fails once and is started again.
void installUpdateAndRestart() {
  std::string directory = kViewerDirectory;
  std::string config = std::string("appname Example Viewer\nmainclass com.example.viewer.Main\n") +
                       "javapath C:\\Java\\jre1.5.0_06\\bin\\javaw.exe\naddjar lib\\viewer.jar\n" +
                       kSingleViewer + "restartCode 3\nrestartOnFailure 2\nupdateDirectory update\n";
  fake().programPath = kViewer;
  fakeAddFile(kViewer, "launcher 1");
  fakeAddFile(directory + "\\viewer.config", config);
  fakeAddFile(directory + "\\lib\\viewer.jar", "viewer 1");
  fakeInstallJava("C:\\Java\\jre1.5.0_06", 32);
  fake().exitCodes = {3, 1, 0};
  fake().whileJavaRuns.push_back([directory, config] {
    fakeAddFile(directory + "\\update\\viewer.exe", "launcher 2");
    fakeAddFile(directory + "\\update\\viewer.config", config + "vmparam -Dviewer.version=2\n");
    fakeAddFile(directory + "\\update\\lib\\viewer.jar", "viewer 2");
  });
}

const char kAgent[] = "C:\\Services\\Agent\\agent.exe";

// A service whose Java the registry names, stopped while it runs: Java
// ends 1.5 seconds after Ctrl+C, within the stop timeout.
void installStoppedService() {
  fake().programPath = kAgent;
  fakeAddFile("C:\\Services\\Agent\\agent.config",
              "appname Example Agent\nmainclass com.example.Agent\nargument --serve\n"
              "serviceStopTimeout 3\n");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.8");
  registerJavaSoftRuntime("1.8", "C:\\Program Files\\Java\\jre1.8.0_392");
  fake().service.startParameters = {"agent", "--port", "8080"};
  fake().service.javaOrStop = kWaitStopRequested;
  fake().service.javaEndsAfterInterrupt = 1500;
}

// A service in debug mode whose Java, found by the Java search, ends by
// itself with 1.
void installFailingService() {
  fake().program64Bit = true;
  fake().programPath = kAgent;
  fakeAddFile("C:\\Services\\Agent\\agent.config",
              "mainclass com.example.Agent\nminJava 11\nvmparam -Xmx64m\n");
  fakeSetRegistryValue(kHiveLocalMachine, kView64Bit, "SOFTWARE\\JavaSoft\\JDK\\17.0.9",
                       "JavaHome", "C:\\Program Files\\Java\\jdk-17");
  fakeInstallJava("C:\\Program Files\\Java\\jdk-17", 64, "17.0.9");
  fake().exitCodes.push_back(1);
}

const World kWorlds[] = {
    {"IncludesJarsAndVersion", installIncludesJarsAndVersion, {kViewer, "report.txt"}, kGuiLauncher,
     kLauncherStatuses},
    {"JavaSearch", installJavaSearch, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"ShortNames", installShortNames,
     {"C:\\Программы\\Просмотр\\viewer.exe", "C:\\Программы\\Просмотр\\отчёт.txt"}, kGuiLauncher,
     kLauncherStatuses},
    {"DebugConsole", installDebugConsole, {"viewer", "-d"}, kGuiLauncher, kLauncherStatuses},
    {"MissingVersion", installMissingVersion, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"ConsoleTool", installConsoleTool, {"C:\\Tools\\convert.exe", "input.txt"},
     kConsoleLauncher, kConsoleStatuses},
    {"ConsoleToolFromAnotherFolder", installConsoleToolFromAnotherFolder, {"convert", "input.txt"},
     kConsoleLauncher, kConsoleStatuses},
    {"JavaFailsInItsJob", installJavaFailsInItsJob, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"ArgumentFile", installArgumentFile, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"FirstInstance", installFirstInstance, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"AnotherInstance", installAnotherInstance, {kViewer}, kConsoleLauncher, kConsoleStatuses},
    {"UpdateAndRestart", installUpdateAndRestart, {kViewer, "-d"}, kGuiLauncher, kLauncherStatuses},
    {"LogsAndCaptures", installLogsAndCaptures, {kViewer}, kGuiLauncher, kLauncherStatuses},
    {"StoppedService", installStoppedService, {kAgent}, kServiceLauncher, kServiceStatuses},
    {"FailingService", installFailingService, {kAgent, "-d"}, kServiceLauncher,
     kServiceStatuses},
};

void PrintTo(const World& world, std::ostream* out) { *out << world.name; }

bool isBrowser(const std::string& commandLine) {
  std::string start = browserCommand("");
  start.pop_back();  // up to the quote that opens the page
  return commandLine.rfind(start, 0) == 0;
}

// The program a command line starts: its first token, quotes taken off.
std::string programOf(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"')
    return commandLine.substr(1, commandLine.find('"', 1) - 1);
  return commandLine.substr(0, commandLine.find(' '));
}

// The command line after its program.
std::string afterProgram(const std::string& commandLine) {
  size_t end = commandLine[0] == '"' ? commandLine.find('"', 1) + 1 : commandLine.find(' ');
  return end == std::string::npos ? "" : commandLine.substr(end);
}

// What fails in a run: nothing, the Nth system call, or an allocation site.
struct Fault {
  int systemCall;               // from 1; 0 for none
  bool atSite;
  unsigned long long site;
};

// The lines of a text, each without its date and time when it has one.
void addLines(const std::string& text, std::vector<std::string>* lines) {
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    lines->push_back(line.size() > 20 && line[4] == '-' && line[13] == ':' ? line.substr(20) : line);
  }
}

// What the service told: its log's lines and its events.
void addServiceTold(LaunchRun* run) {
  bool logged = false;
  for (const auto& file : fake().files) {
    if (file.first.size() < 4 || file.first.compare(file.first.size() - 4, 4, ".log") != 0) continue;
    std::string lines;
    for (char c : file.second)
      if (c != '\r') lines += c;
    addLines(lines, &run->told);
    logged = logged || !lines.empty();
  }
  for (const FakeEvent& event : fake().service.events) run->told.push_back(event.text);
  const std::vector<ServiceStatusReport>& reports = fake().service.reports;
  run->serviceEnded = !reports.empty() && reports.back().state == kServiceStopped &&
                      (int)reports.back().specificExitCode == run->status;
  run->endedBeforeItsLog = run->exited && !logged;
}

LaunchRun runWorld(const World& world, Fault fault) {
  installFakePlatform();
  resetLaunchSettings();
  resetServiceSettings();
  world.install();
  if (fault.systemCall) fakeFailCall(kFakeSystemEntries, fault.systemCall);
  if (fault.atSite) fakeFailAllocationAt(fault.site);
  if (!fault.systemCall && !fault.atSite) fakeNoteAllocationSites(true);
  std::vector<std::string> arguments = world.arguments;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  int status = -1;
  ExitResult exit = runCatchingExit([&] {
    status = world.variant == kServiceLauncher
                 ? runServiceLauncher((int)argv.size(), argv.data())
                 : runLauncher(world.variant, (int)argv.size(), argv.data());
  });

  LaunchRun run = {exit.exited, exit.exited ? exit.status : status, {}, {}, "", 0, 0, 0, 0,
                   false, false};
  for (const FakeProcess& process : fake().processes)
    if (process.started && !isBrowser(process.commandLine)) run.java.push_back(process.commandLine);
  for (const FakeMessageBox& box : fake().boxes) run.told.push_back(box.caption + ": " + box.text);
  addLines(fake().error, &run.told);
  if (world.variant == kServiceLauncher) addServiceTold(&run);
  if (!fake().failedCalls.empty()) run.failedCall = fake().failedCalls.back();
  run.callCount = fakeCallCount(kFakeSystemEntries);
  const FakeState& left = fake();
  run.leftOpen = left.openFiles + left.openListings + left.openRegistryKeys + left.openProcesses +
                 left.openThreads + left.openJobs + left.openHeldFiles + left.openInstanceMarks +
                 left.openPipeEnds + left.openWorkers + left.openLocks + left.openAppendFiles +
                 fakeServiceOpenCount();
  run.hazards = left.readsThatWouldWait + left.lockMisuses;
  for (const auto& written : left.writtenFiles) run.filesLeft += fakeHasFile(written.first);
  resetLaunchSettings();
  resetServiceSettings();
  return run;
}

bool toldAnew(const LaunchRun& run, const LaunchRun& baseline) {
  for (const std::string& message : run.told)
    if (std::find(baseline.told.begin(), baseline.told.end(), message) == baseline.told.end())
      return true;
  return false;
}

// The same launch, or another installed Java with the same command line after it.
bool sameLaunchOrAnotherJava(const LaunchRun& run, const LaunchRun& baseline) {
  if (run.java == baseline.java) return true;
  return run.java.size() == 1 && baseline.java.size() == 1 &&
         afterProgram(run.java[0]) == afterProgram(baseline.java[0]);
}

void checkRun(const World& world, const LaunchRun& run, const LaunchRun& baseline) {
  const std::vector<int>& documented = world.statuses;
  EXPECT_NE(documented.end(), std::find(documented.begin(), documented.end(), run.status))
      << "undocumented status " << run.status;
  if (run.endedBeforeItsLog) {
    EXPECT_EQ("allocate", run.failedCall) << "ended through an exit";
    EXPECT_EQ(2, run.status);
    return;
  }

  for (const std::string& commandLine : run.java)
    EXPECT_TRUE(fakeHasFile(programOf(commandLine))) << "started a program that is not there: "
                                                     << commandLine;
  if (run.status == 0 && run.java.empty() && !baseline.java.empty())
    EXPECT_FALSE(run.told.empty()) << "status 0, nothing started, nothing said";
  if (run.status == 2) EXPECT_FALSE(run.told.empty()) << "status 2, and nothing said";
  EXPECT_EQ(0, run.hazards) << "a read that would wait for ever, or a lock taken twice";

  bool changed = run.status != baseline.status || !sameLaunchOrAnotherJava(run, baseline);
  bool silentFailure = std::find(kSilent.begin(), kSilent.end(), run.failedCall) != kSilent.end();
  if (changed && !silentFailure)
    EXPECT_TRUE(toldAnew(run, baseline)) << "the outcome changed and nobody was told: status "
                                         << run.status << ", Java "
                                         << (run.java.empty() ? "none" : run.java[0]);

  if (run.exited) {
    EXPECT_EQ("allocate", run.failedCall) << "ended through an exit";
    EXPECT_EQ(2, run.status);
    EXPECT_NE(run.told.end(), std::find_if(run.told.begin(), run.told.end(), [](const std::string& told) {
                return told.find("Out of memory") != std::string::npos;
              }));
    return;
  }
  EXPECT_EQ(0, run.leftOpen) << "left open";
  // Without the handler, or the report, nothing can be reported; without
  // the dispatcher, the process never was the service.
  bool unreported = run.failedCall == "registerServiceHandler" ||
                    run.failedCall == "reportServiceStatus" ||
                    run.failedCall == "runServiceDispatcher";
  if (world.variant == kServiceLauncher && !unreported)
    EXPECT_TRUE(run.serviceEnded) << "the service did not report its end, or not this status";
  if (run.failedCall != "removeFile") EXPECT_EQ(0, run.filesLeft) << "argument file left";
}

class FaultSweepTest : public LauncherTest, public ::testing::WithParamInterface<World> {};

TEST_P(FaultSweepTest, EveryFailingSystemCallEndsAsDocumentedToldAndClosed) {
  const World& world = GetParam();
  LaunchRun baseline = runWorld(world, {});
  ASSERT_FALSE(baseline.exited);
  ASSERT_EQ(0, baseline.leftOpen + baseline.filesLeft);
  ASSERT_EQ("", baseline.failedCall);
  int runs = 0;
  for (int failing = 1;; ++failing) {
    LaunchRun run = runWorld(world, {failing, false, 0});
    if (run.failedCall.empty()) break;  // the run made fewer calls than that
    ++runs;
    SCOPED_TRACE("call " + std::to_string(failing) + " (" + run.failedCall + ") failing");
    EXPECT_FALSE(run.exited) << "ended through an exit";
    checkRun(world, run, baseline);
  }
  EXPECT_EQ(baseline.callCount, runs);
  RecordProperty("runs", runs);
}

TEST_P(FaultSweepTest, EachAllocationSiteFailingEndsAsDocumentedAndTold) {
  const World& world = GetParam();
  LaunchRun baseline = runWorld(world, {});
  const std::vector<unsigned long long> sites = fakeAllocationSites();
  ASSERT_FALSE(sites.empty());
  for (size_t i = 0; i < sites.size(); ++i) {
    LaunchRun run = runWorld(world, {0, true, sites[i]});
    SCOPED_TRACE("allocation site " + std::to_string(i + 1) + " of " +
                 std::to_string(sites.size()) + " failing");
    ASSERT_EQ("allocate", run.failedCall);
    checkRun(world, run, baseline);
  }
  RecordProperty("runs", (int)sites.size());
}

INSTANTIATE_TEST_SUITE_P(Worlds, FaultSweepTest, ::testing::ValuesIn(kWorlds),
                         [](const ::testing::TestParamInfo<World>& info) { return info.param.name; });

}  // namespace
