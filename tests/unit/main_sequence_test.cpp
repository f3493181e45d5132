#include "app/main_sequence.h"

#include "common/argument_vector.h"
#include "app/config_location.h"

#include "launcher_test.h"
#include "runtime/runtime_registry.h"
#include "support/java_homes.h"

using ::testing::ElementsAre;

class MainSequenceTest : public LauncherTest {
 protected:
  // Started by its full path, the program's own path is that one.
  int run(std::vector<std::string> args) {
    if (args[0].size() > 1 && args[0][1] == ':') fake().programPath = args[0];
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    return runLauncher(kGuiLauncher, (int)argv.size(), argv.data());
  }
};

TEST_F(MainSequenceTest, FullPathSetsDirectoryArgumentsAndDebug) {
  fakeAddFile("C:\\Apps\\Tool\\tool.config", "mainclass a.B\njavapath java\nargument cfg\n");
  EXPECT_EQ(0, run({"C:\\Apps\\Tool\\tool.exe", "alpha", "-d", "two words", "-D", "-d"}));
  EXPECT_TRUE(settings.debug);
  EXPECT_THAT(listOf(settings.arguments), ElementsAre("alpha", "two words", "-D", "cfg"));
  EXPECT_THAT(fake().directoryChanges, ElementsAre("C:\\Apps\\Tool"));
  EXPECT_EQ("c:\\apps\\tool", fake().currentDirectory);
  EXPECT_THAT(fake().output, ::testing::HasSubstr("reading app config C:\\Apps\\Tool\\tool.config\n"));
}

// The entry's own split of its command line tells which arguments the
// caller quoted; they reach Java quoted, so that Java expands no wildcard
// in them. An "argument" line counts as unquoted.
TEST_F(MainSequenceTest, ArgumentsReachJavaQuotedAsTheCallerQuotedThem) {
  fakeAddFile("C:\\Apps\\Tool\\tool.config", "mainclass a.B\njavapath java\nargument *.txt\n");
  fake().programPath = "C:\\Apps\\Tool\\tool.exe";
  fake().commandLine = "C:\\Apps\\Tool\\tool.exe \"*.java\" *.java -d \"x\" ?";
  ArgumentVector arguments = commandLineArguments();
  EXPECT_EQ(0, runLauncher(kGuiLauncher, arguments.count, arguments.values, arguments.quoted));
  releaseMemory(arguments.values);
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ("java a.B \"*.java\" *.java \"x\" ? *.txt ", fake().processes[0].commandLine);
}

// A starter may name the program by a path other than the executable's
// own: the configuration, the working directory and relative "javaHome"
// lines all follow the executable.
TEST_F(MainSequenceTest, TheProgramsOwnDirectoryIsTheExecutablesWhateverTheStarterWrote) {
  fakeAddFile("C:\\Apps\\Tool\\tool.config", "mainclass a.B\njavaHome runtime\n");
  fakeInstallJava("C:\\Apps\\Tool\\runtime", 64);
  std::vector<std::string> args = {"C:\\Links\\tool.exe"};
  std::vector<char*> argv = {&args[0][0]};
  fake().programPath = "C:\\Apps\\Tool\\tool.exe";
  EXPECT_EQ(0, runLauncher(kGuiLauncher, 1, argv.data()));
  EXPECT_THAT(fake().directoryChanges, ElementsAre("C:\\Apps\\Tool"));
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ("C:\\Apps\\Tool\\runtime\\bin\\javaw.exe a.B", fake().processes[0].commandLine);
}

TEST_F(MainSequenceTest, DebugGreetingDumpAndLaunchBoxesInOrder) {
  fakeAddDirectoryEntry("C:\\Apps\\Tool\\lib", "x.jar");
  fakeAddFile("C:\\Apps\\Tool\\more.config", "addjars lib\n");
  fakeAddFile("C:\\Apps\\Tool\\tool.config",
              "vmparam -Xmx1m\naddpath classes\nmainclass a.B\njavapath java\ninclude more.config\n");
  run({"C:\\Apps\\Tool\\tool.exe", "-d"});
  EXPECT_THAT(captions(), ElementsAre("Version", "LpCmdLine", "CWD", "Reading App Config file",
                                      "Reading Config file", "Reading Config file", "MainClass is",
                                      "Javapath is", "Command Line is"));
  EXPECT_EQ("1.0.8", fake().boxes[0].text);
  EXPECT_EQ("[C:\\Apps\\Tool\\tool.exe]", fake().boxes[1].text);
  EXPECT_EQ("C:\\Apps\\Tool", fake().boxes[2].text);
  EXPECT_EQ("[C:\\Apps\\Tool\\tool.config]", fake().boxes[3].text);
  EXPECT_EQ("a.B", fake().boxes[6].text);
  EXPECT_EQ(
      "reading app config C:\\Apps\\Tool\\tool.config\n"
      "adding jar lib/x.jar\n"
      "vmparam 0=-Xmx1m\nvmpath 0=classes\nvmjars 0=lib/x.jar\n",
      fake().output.substr(0, fake().output.find("cmdLine")));
}

TEST_F(MainSequenceTest, BareNameKeepsTheCurrentDirectory) {
  fake().currentDirectory = "D:\\Apps\\Tool";
  fakeAddFile("D:\\Apps\\Tool\\tool.config", "mainclass a.B\njavapath java\n");
  settings.debug = false;
  EXPECT_EQ(0, run({"tool"}));
  EXPECT_TRUE(fake().directoryChanges.empty());
  EXPECT_EQ(1u, fake().processes.size());
}

TEST_F(MainSequenceTest, ConfigurationPathRules) {
  struct Case {
    const char* directory;
    const char* program;
    const char* expectedPath;
  } cases[] = {
      {"C:\\Apps\\Tool", "C:\\Apps\\Tool\\TOOL.EXE", "C:\\Apps\\Tool\\TOOL.EXE.config"},
      {"C:\\Work", "..\\bin\\tool.exe", "C:\\Work\\tool.config"},
      {"C:", "C:\\tool.exe", "C:\\tool.config"},
      {"C:\\", "tool", "C:\\\\tool.config"},
      {"C:\\Work", "C:/Apps/tool.exe", "C:\\Work\\C:/Apps/tool.config"},
      {"C:\\Work", "a.exe", "C:\\Work\\a.config"},
      {"C:\\Work", ".exe", "C:\\Work\\.config"},
      {"C:\\Work", "exe", "C:\\Work\\exe.config"},
  };
  for (const Case& c : cases) {
    char* path = configPathIn(c.directory, c.program);
    EXPECT_STREQ(c.expectedPath, path) << c.program;
    releaseMemory(path);
  }
}

// The GUI launcher works in its exe's directory when started by a full path
// (a UNC one too), and where its configuration is when started by a name;
// a name whose configuration is not in the current directory finds the one
// beside its exe. Each configuration names its own main class.
TEST_F(MainSequenceTest, TheGuiLauncherReadsTheConfigurationBesideItsExeUnlessOneIsWhereItStarts) {
  struct Row {
    const char* what;
    const char* program;  // its exe; "": C:\Apps\Viewer\viewer.exe
    const char* typed;
    const char* currentDirectory;
    const char* mainClass;  // the configuration read; "": none
    std::vector<std::string> directoryChanges;
  } rows[] = {
      {"by full path", "", "C:\\Apps\\Viewer\\viewer.exe", "C:\\Work", "Beside",
       {"C:\\Apps\\Viewer"}},
      {"by name, in its directory", "", "viewer", "C:\\Apps\\Viewer", "Beside", {}},
      {"by name, from a directory with its own configuration", "", "viewer", "C:\\Here", "Here", {}},
      {"by name, found on PATH from elsewhere", "", "viewer", "C:\\Work", "Beside",
       {"C:\\Apps\\Viewer"}},
      {"by a relative path from elsewhere", "", "..\\Apps\\Viewer\\viewer", "C:\\Work", "Beside",
       {"C:\\Apps\\Viewer"}},
      {"by UNC path", "\\\\server\\share\\app\\viewer.exe", "\\\\server\\share\\app\\viewer.exe",
       "C:\\Work", "OnShare", {"\\\\server\\share\\app"}},
  };
  for (const Row& row : rows) {
    installFakePlatform();
    resetLaunchSettings();
    fakeAddFile("C:\\Apps\\Viewer\\viewer.config", "mainclass Beside\njavapath java\n");
    fakeAddFile("C:\\Here\\viewer.config", "mainclass Here\njavapath java\n");
    fakeAddFile("\\\\server\\share\\app\\viewer.config", "mainclass OnShare\njavapath java\n");
    fakeAddDirectoryEntry("C:\\Work", "input.txt");
    fake().programPath = *row.program ? row.program : "C:\\Apps\\Viewer\\viewer.exe";
    fake().currentDirectory = row.currentDirectory;
    std::vector<std::string> args = {row.typed};
    std::vector<char*> argv = {&args[0][0]};
    EXPECT_EQ(0, runLauncher(kGuiLauncher, 1, argv.data())) << row.what;
    ASSERT_EQ(1u, fake().processes.size()) << row.what;
    EXPECT_EQ(std::string("java ") + row.mainClass, fake().processes[0].commandLine) << row.what;
    EXPECT_EQ(row.directoryChanges, fake().directoryChanges) << row.what;
    std::string exeDirectory = fake().programPath.substr(0, fake().programPath.rfind('\\'));
    EXPECT_THAT(fake().environmentChanges, ElementsAre("EXEDIR=" + exeDirectory)) << row.what;
  }
}

// Where there is none beside the exe either, the path beside the exe is the
// one named.
TEST_F(MainSequenceTest, TheGuiLauncherByNameWithoutAnyConfigurationNamesTheOneBesideItsExe) {
  fake().programPath = "C:\\Apps\\Viewer\\viewer.exe";
  EXPECT_EQ(2, run({"viewer"}));
  EXPECT_EQ("Can't open C:\\Apps\\Viewer\\viewer.config Error No such file or directory\n",
            fake().error);
}

TEST_F(MainSequenceTest, DriveRootProgramChangesToTheBareDrive) {
  fakeAddFile("C:\\tool.config", "mainclass a.B\njavapath java\n");
  EXPECT_EQ(0, run({"C:\\tool.exe"}));
  EXPECT_THAT(fake().directoryChanges, ElementsAre("C:"));
  EXPECT_THAT(fake().environmentChanges, ElementsAre("EXEDIR=C:"));
}

TEST_F(MainSequenceTest, UnreadableCurrentDirectoryLooksAtTheDriveRoot) {
  fakeAddFile("C:\\tool.config", "mainclass a.B\njavapath java\n");
  fakeFailCall({FAKE_ENTRY(currentDirectory)}, 1);
  EXPECT_EQ(0, run({"tool"}));
  EXPECT_EQ(1u, fake().processes.size());
}

TEST_F(MainSequenceTest, LongProgramNamesDirectoriesAndPathsAreKeptWhole) {
  std::string directory = "C:\\" + std::string(2100, 'd');
  std::string name = std::string(1500, 't');
  std::string path = directory + "\\" + name + ".config";
  fakeAddFile(path, "mainclass a.B\njavapath j\n");
  EXPECT_EQ(0, run({directory + "\\" + name + ".exe", "-d"}));
  EXPECT_EQ("[" + directory + "\\" + name + ".exe]", fake().boxes[1].text);
  EXPECT_EQ(directory, fake().boxes[2].text);
  EXPECT_EQ("Reading App Config file", fake().boxes[3].caption);
  EXPECT_EQ("[" + path + "]", fake().boxes[3].text);
  EXPECT_THAT(fake().output, ::testing::HasSubstr("reading app config " + path + "\n"));

  // Started by a bare name in a current directory of any length.
  installFakePlatform();
  resetLaunchSettings();
  fake().currentDirectory = "D:\\" + std::string(3000, 'c');
  fakeAddFile(fake().currentDirectory + "\\tool.config", "mainclass a.B\njavapath j\n");
  EXPECT_EQ(0, run({"tool"}));
  EXPECT_EQ(1u, fake().processes.size());
}

TEST_F(MainSequenceTest, MissingConfigurationReturns2SilentlyOutsideDebugMode) {
  EXPECT_EQ(2, run({"C:\\Apps\\tool.exe"}));
  EXPECT_TRUE(fake().boxes.empty());
  EXPECT_TRUE(fake().processes.empty());
  EXPECT_EQ("Can't open C:\\Apps\\tool.config Error No such file or directory\n", fake().error);
}

TEST_F(MainSequenceTest, MissingConfigurationInDebugModeShowsTheProgramNameAgain) {
  EXPECT_EQ(2, run({"C:\\Apps\\tool.exe", "-d"}));
  ASSERT_EQ("LpCmdLine", fake().boxes.back().caption);
  EXPECT_EQ("[C:\\Apps\\tool.exe]", fake().boxes.back().text);
}

TEST_F(MainSequenceTest, ExitStatusIs0WhateverTheLaunchDid) {
  fakeAddFile("C:\\Apps\\tool.config", "mainclass a.B\njavapath java\n");
  fake().exitCodes.push_back(1);
  EXPECT_EQ(0, run({"C:\\Apps\\tool.exe"}));
  installFakePlatform();
  resetLaunchSettings();
  fakeAddFile("C:\\Apps\\tool.config", "mainclass a.B\n");  // and no Java in the registry
  EXPECT_EQ(0, run({"C:\\Apps\\tool.exe"}));
  EXPECT_TRUE(fake().processes.empty());
}

TEST_F(MainSequenceTest, WithoutAMainClassNoRuntimeIsLookedUp) {
  fakeAddFile("C:\\Apps\\tool.config", "appname Tool\n");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\jre1.5.0");
  EXPECT_EQ(0, run({"C:\\Apps\\tool.exe"}));
  ASSERT_THAT(captions(), ElementsAre("Error"));
  EXPECT_EQ("No main class is named in the configuration", fake().boxes[0].text);
  EXPECT_EQ(0, fakeCallCount(kFakeRegistryEntries));
  EXPECT_TRUE(fake().processes.empty());
}

TEST_F(MainSequenceTest, WithoutAJavaLineTheRegistrysCurrentRuntimeIsChosenAfterTheDump) {
  fakeAddFile("C:\\Apps\\tool.config", "vmparam -Xmx1m\nmainclass a.B\n");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY, "CurrentVersion", "1.5");
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.5", "JavaHome", "C:\\Program Files\\jre1.5.0");
  EXPECT_EQ(0, run({"C:\\Apps\\tool.exe", "-d"}));
  EXPECT_THAT(captions(), ElementsAre("Version", "LpCmdLine", "CWD", "Reading App Config file",
                                      "Reading Config file", "MainClass is", "Javapath is",
                                      "Command Line is"));
  EXPECT_EQ("\"C:\\Program Files\\jre1.5.0\\bin\\java.exe\"", fake().boxes[6].text);
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ("\"C:\\Program Files\\jre1.5.0\\bin\\java.exe\" -Xmx1m a.B",
            fake().processes[0].commandLine);
}

TEST_F(MainSequenceTest, EmptyDumpShowsAnEmptyMainClass) {
  fakeAddFile("C:\\Apps\\tool.config", "javapath java\n");
  run({"C:\\Apps\\tool.exe", "-d"});
  ASSERT_GE(fake().boxes.size(), 6u);
  EXPECT_EQ("MainClass is", fake().boxes[5].caption);
  EXPECT_EQ("", fake().boxes[5].text);
}
