// The two launchers run against the same situations: the GUI launcher as it
// always was, the console launcher with Java's status, no box and nothing
// of its own on standard output.
#include "app/main_sequence.h"

#include <functional>

#include "launch/launch_java.h"
#include "launcher_test.h"
#include "runtime/runtime_registry.h"

static const char kJava[] = "C:\\jre\\bin\\java.exe";

static void noRuntimes() {}

static void toolAlreadyRunning() { fake().instances["Local\\Corvane.singleInstance.tool"] = {4242}; }

static void oldAndNewRuntimes() {
  fakeSetRegistrySubkeys(RUNTIME_ROOT_KEY, {"1.4.2_03", "1.4.2_08"});
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_03", "JavaHome", "C:\\j2re1.4.2_03");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_08", "JavaHome", "C:\\j2re1.4.2_08");
}

class ConsoleLauncherTest : public LauncherTest {
 protected:
  int run(bool console, const std::string& config, const std::function<void()>& world,
          std::vector<std::string> args) {
    installFakePlatform();
    resetLaunchSettings();
    if (!config.empty()) fakeAddFile("C:\\Apps\\Tool\\tool.config", config);
    world();
    fake().yesNoAnswer = kAnswerYes;  // what a user would answer, had he been asked
    fake().programPath = "C:\\Apps\\Tool\\tool.exe";
    args.insert(args.begin(), fake().programPath);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    return runLauncher(console ? kConsoleLauncher : kGuiLauncher, (int)argv.size(), argv.data());
  }
};

TEST_F(ConsoleLauncherTest, EndsWithJavasStatusOrWhyNoneStartedAndShowsNothing) {
  const std::string head = std::string("appname Tool\nmainclass a.B\njavapath ") + kJava + "\n";
  struct Row {
    const char* what;
    std::string config;  // empty: none
    void (*world)();
    unsigned long javaExit;
    unsigned long startError;  // 0: the start succeeds
    int guiStatus;
    int consoleStatus;
    const char* consoleError;
    const char* consoleJava;  // the command line started; empty: none
  } rows[] = {
      {"Java exits with 300", head, noRuntimes, 300, 0, 0, 300, "", "C:\\jre\\bin\\java.exe a.B"},
      {"Java exits with -1", head, noRuntimes, 0xFFFFFFFFUL, 0, 0, -1, "",
       "C:\\jre\\bin\\java.exe a.B"},
      {"no configuration", "", noRuntimes, 0, 0, 2, 2,
       "Can't open C:\\Apps\\Tool\\tool.config Error No such file or directory\n", ""},
      {"no main class", std::string("javapath ") + kJava + "\n", noRuntimes, 0, 0, 0, 125,
       "Error: No main class is named in the configuration\n", ""},
      {"a command line too long", head + "vmparam -D" + std::string(32766, 'x') + "\n",
       noRuntimes, 0, 0, 0, 125,
       "Error: The Java command line is 32792 characters long; Windows accepts at most 32766\n"
       "Java 9 or later would take a line this long.\n",
       ""},
      {"an option that Java would read with quotes", head + "vmparam -Dx=＂a b＂\n", noRuntimes,
       0, 0, 0, 125,
       "Error: Java cannot be given\n-Dx=＂a b＂\nIn the system's code page Java would read it as\n"
       "-Dx=\"a b\"\nwhere a look-alike character has become a quote, a blank or a backslash.\n",
       ""},
      {"the start fails", head, noRuntimes, 0, 2, 0, 126,
       "Error: Error launching Class a.B\n with Java C:\\jre\\bin\\java.exe.\nError=2\n",
       "C:\\jre\\bin\\java.exe a.B"},
      {"no Java in the registry", "mainclass a.B\n", noRuntimes, 0, 0, 0, 127,
       "Error!: No Java Installation Found\n", ""},
      {"an exact version not installed", "appname Tool\nmainclass a.B\njavaVersion 1.4.2_05\n",
       oldAndNewRuntimes, 0, 0, 5, 5,
       "Java Runtime Environment Not Found: Tool requires the Java Runtime Environment version "
       "1.4.2_05\nDownload page: http://java.sun.com/j2se/1.4.2/download.html\n",
       ""},
      {"no patch level high enough", "appname Tool\nmainclass a.B\njavaVersion 1.4.2_09+\n",
       oldAndNewRuntimes, 0, 0, 11, 11,
       "Incompatible JRE Version Found: Tool requires the Java Runtime Environment version "
       "1.4.2_09+\nDownload page: http://java.sun.com/j2se/1.4.2/download.html\n",
       ""},
      {"no Java fits the search", "mainclass a.B\nminJava 99\n", noRuntimes, 0, 0, 11, 11,
       "Java Not Found: This application needs Java 99 or later.\n\n"
       "No Java was found on this computer.\n\n"
       "Download page: https://adoptium.net/temurin/releases/\n",
       ""},
      {"the tool already running", head + "singleInstance tool\n", toolAlreadyRunning, 0, 0, 0,
       12, "Already running: Local\\Corvane.singleInstance.tool\n", ""},
      {"a resolved version: java.exe, no trace", "mainclass a.B\njavaVersion 1.4.2_05+\n",
       oldAndNewRuntimes, 0, 0, 0, 0, "", "C:\\j2re1.4.2_08\\bin\\java.exe a.B"},
  };
  for (const Row& row : rows) {
    for (bool console : {false, true}) {
      auto world = [&] {
        row.world();
        fake().exitCodes.push_back(row.javaExit);
        if (!row.startError) return;
        fake().startErrorCode = row.startError;
        fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1);
      };
      int status = run(console, row.config, world, {});
      if (!console) {
        EXPECT_EQ(row.guiStatus, status) << row.what;
        EXPECT_EQ(-1, fake().interruptsOutlivedAfter) << row.what;
        continue;
      }
      EXPECT_EQ(row.consoleStatus, status) << row.what;
      EXPECT_EQ(row.consoleError, fake().error) << row.what;
      EXPECT_TRUE(fake().boxes.empty()) << row.what;
      EXPECT_EQ("", fake().output) << row.what;
      std::string started = fake().processes.empty() ? "" : fake().processes[0].commandLine;
      EXPECT_EQ(row.consoleJava, started) << row.what;  // and never a browser
      if (!started.empty()) EXPECT_EQ(0, fake().interruptsOutlivedAfter) << row.what;
    }
  }
}

// A tool on PATH, run from another folder however its caller names it: the
// configuration beside the exe, never one in the caller's folder; Java in the
// caller's directory, with the configuration's relative paths made full and
// EXEDIR set (or kept, when the environment has one).
TEST_F(ConsoleLauncherTest, AToolRunsFromAnyFolderWithItsOwnConfigurationInTheCallersDirectory) {
  const std::string tools = "C:\\cli\\tools";
  const std::string javaOptions = " -classpath " + tools + "\\classes;" + tools +
                                  "\\lib/core.jar com.example.Convert input.txt --quiet ";
  struct Row {
    const char* typed;
    const char* exeDirVariable;  // set before the start; "": none
    std::string java;
  } rows[] = {
      {"convert", "", tools + "\\jre\\bin\\java.exe -Dnative=C:/cli/tools/native" + javaOptions},
      {"C:\\cli\\tools\\convert.exe", "",
       tools + "\\jre\\bin\\java.exe -Dnative=C:/cli/tools/native" + javaOptions},
      {"..\\tools\\convert", "", tools + "\\jre\\bin\\java.exe -Dnative=C:/cli/tools/native" + javaOptions},
      {"convert", "D:\\Kept", tools + "\\jre\\bin\\java.exe -Dnative=D:/Kept/native" + javaOptions},
  };
  for (const Row& row : rows) {
    installFakePlatform();
    resetLaunchSettings();
    fake().programPath = tools + "\\convert.exe";
    fake().currentDirectory = "C:\\cli\\work";
    fakeAddFile(tools + "\\convert.config",
                "mainclass com.example.Convert\njavapath jre\\bin\\java.exe\n"
                "vmparam -Dnative=$EXEDIR\\native\naddpath classes\naddjars lib\ninclude more.config\n");
    fakeAddFile(tools + "\\more.config", "argument --quiet\n");
    fakeAddDirectoryEntry(tools + "\\lib", "core.jar");
    fakeAddFile("C:\\cli\\work\\convert.config", "mainclass Planted\njavapath planted.exe\n");
    fakeAddFile("C:\\cli\\work\\more.config", "argument --planted\n");
    if (*row.exeDirVariable) fakeSetEnvironment("EXEDIR", row.exeDirVariable);
    std::vector<std::string> args = {row.typed, "input.txt"};
    std::vector<char*> argv = {&args[0][0], &args[1][0]};
    EXPECT_EQ(0, runLauncher(kConsoleLauncher, 2, argv.data())) << row.typed;
    ASSERT_EQ(1u, fake().processes.size()) << row.typed;
    EXPECT_EQ(row.java, fake().processes[0].commandLine) << row.typed;
    EXPECT_TRUE(fake().directoryChanges.empty()) << row.typed;
    std::vector<std::string> set;
    if (!*row.exeDirVariable) set.push_back("EXEDIR=" + tools);
    EXPECT_EQ(set, fake().environmentChanges) << row.typed;
    EXPECT_EQ("", fake().error) << row.typed;
  }
}
