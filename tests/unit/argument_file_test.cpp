#include "app/main_sequence.h"
#include "launch/launch_java.h"
#include "launcher_test.h"
#include "runtime/argument_file_support.h"
#include "support/argument_file_read.h"
#include "support/java_homes.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

static const std::string kTemp = "C:\\Users\\User\\AppData\\Local\\Temp";
static const std::string kArgumentFile = kTemp + "\\jva0000000000000001.tmp";
static const std::string kJava = "C:\\jdk17\\bin\\javaw.exe";

class ArgumentFileTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    fakeInstallJava("C:\\jdk17", 64, "17.0.2");
    setSetting(&settings.javapath, kJava.c_str());
    setSetting(&settings.mainclass, "a.Main");
  }
  unsigned long exitCode = 0;
  LaunchOutcome launch() {
    JavaRun run = {};
    LaunchOutcome outcome = launchConfigured(kGuiLauncher, &run);
    exitCode = run.exitCode;
    return outcome;
  }
  // Class-path entries of 100 characters, together past what Windows takes;
  // returns them joined as the class path.
  static std::string addLongClassPath() {
    std::string joined;
    for (int i = 0; i < 400; ++i) {
      std::string entry = "lib\\" + std::string(88, (char)('a' + i % 26)) + std::to_string(1000 + i) + ".jar";
      appendSetting(&settings.vmpath, entry.c_str());
      joined += ";" + entry;
    }
    return joined;
  }
  // Every file written was removed again.
  static void expectNoFileLeft() {
    std::vector<std::string> written, removed;
    for (const std::string& event : fake().events) {
      if (event.rfind("write ", 0) == 0) written.push_back(event.substr(6));
      if (event.rfind("remove ", 0) == 0) removed.push_back(event.substr(7));
    }
    EXPECT_EQ(written, removed);
    for (const std::string& path : written) EXPECT_EQ(0u, fake().files.count(lowerCase(path)));
  }
  static std::string lowerCase(std::string text) {
    for (char& c : text) c = (char)tolower((unsigned char)c);
    return text;
  }
};

// The file gives Java the arguments that the options would have been on the
// command line, whatever their blanks, quotes, backslashes and script: in
// the ANSI code page, paths shortened as on the line. Java gets the file's
// path, the main class and the arguments; the file goes once Java has ended.
TEST_F(ArgumentFileTest, JavaReadsTheOptionsTheCommandLineWouldHaveGivenIt) {
  for (const char* option :
       {"-Dhome=\"C:/Program Files/App\"", "-Da=1 -Db=2", "-Dwin=C:\\Apps\\x\\",
        "-Dquote=\\\"q\\\"", "-Dhash=#1", "-Dapostrophe=it's", "-Dlatin=caf\xC3\xA9",
        "-Dcyrillic=\xD0\x96\xD1\x83\xD0\xBA", "\"-Dtab=a\tb\"", "\"C:\\Program Files\\x\\\\\"",
        "\"-Ddoubled=a\"\"b c\""})
    appendSetting(&settings.vmparam, option);
  appendSetting(&settings.vmpath, "\"C:/Program Files/App/lib/a.jar\"");
  fakeAddFile("C:\\\xD0\x96\\b.jar", "");  // C:\Ж\b.jar
  fakeSetShortPath("C:\\\xD0\x96\\b.jar", "C:\\ZH~1\\b.jar");
  appendSetting(&settings.vmpath, "C:\\\xD0\x96\\b.jar");
  std::string longPath = addLongClassPath();
  appendSetting(&settings.vmjars, "lib/plugin (1).jar");
  appendSetting(&settings.arguments, "two words");

  EXPECT_EQ(kOutcomeJavaRan, launch());
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ(kJava + " @" + kArgumentFile + " a.Main \"two words\" ", fake().processes[0].commandLine);
  EXPECT_THAT(readArgumentFileLikeJava(fake().writtenFiles[kArgumentFile]),
              ElementsAre("-Dhome=C:/Program Files/App", "-Da=1", "-Db=2", "-Dwin=C:\\Apps\\x\\",
                          "-Dquote=\"q\"", "-Dhash=#1", "-Dapostrophe=it's", "-Dlatin=caf\xE9",
                          "-Dcyrillic=???", "-Dtab=a\tb", "C:\\Program Files\\x\\",
                          "-Ddoubled=a\"b c", "-classpath",
                          "C:/Program Files/App/lib/a.jar;C:\\ZH~1\\b.jar" + longPath +
                              ";lib/plugin (1).jar"));
  EXPECT_THAT(fake().events, ElementsAre("write " + kArgumentFile, "create job 1",
                                         "start suspended 1", "assign 1 to job 1", "resume 1",
                                         "close process 1", "close " + kArgumentFile,
                                         "remove " + kArgumentFile, "close job 1"));
  EXPECT_TRUE(fake().boxes.empty());
  expectNoFileLeft();
}

// Java reads the file byte by byte in the code page: the quoting is decided
// on those bytes, so that a look-alike that becomes ' or # is quoted, and a
// double-byte character whose second byte is 0x5C (ソ, 表, 能 in 932) reads
// back whole, at the end of a token too.
TEST_F(ArgumentFileTest, TokensAreWrittenAsTheBytesJavaReads) {
  fake().codePage = kFakeJapanese;
  for (const char* option :
       {"-Dname=ソ表", "\"-Dpath=表 能\"", "-Dplain=ソx", "-Dapostrophe=it＇s", "＃x"})
    appendSetting(&settings.vmparam, option);
  addLongClassPath();
  EXPECT_EQ(kOutcomeJavaRan, launch());
  std::vector<std::string> tokens = readArgumentFileLikeJava(fake().writtenFiles[kArgumentFile]);
  ASSERT_LE(5u, tokens.size());
  EXPECT_THAT(std::vector<std::string>(tokens.begin(), tokens.begin() + 5),
              ElementsAre("-Dname=\x83\x5C\x95\x5C", "-Dpath=\x95\x5C \x94\x5C",
                          "-Dplain=\x83\x5Cx", "-Dapostrophe=it's", "#x"));
}

// Java expands an "@file" only on its command line: the JVM options up to
// the last one stay there, in order, before the launcher's own file.
TEST_F(ArgumentFileTest, AnOptionThatIsAnArgumentFileStaysOnTheCommandLine) {
  for (const char* option : {"-Xmx1g", "@opts.txt", "-Dmiddle=1", "\"@C:\\My Options\\more.txt\"",
                             "-Dafter=1"})
    appendSetting(&settings.vmparam, option);
  std::string longPath = addLongClassPath();
  EXPECT_EQ(kOutcomeJavaRan, launch());
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ(kJava + " -Xmx1g @opts.txt -Dmiddle=1 \"@C:\\My Options\\more.txt\" @" + kArgumentFile +
                " a.Main",
            fake().processes[0].commandLine);
  EXPECT_THAT(readArgumentFileLikeJava(fake().writtenFiles[kArgumentFile]),
              ElementsAre("-Dafter=1", "-classpath", longPath.substr(1)));
}

// Java opens the file by the path on its command line: in short form where
// the code page cannot spell the temporary folder, in quotes with a blank.
TEST_F(ArgumentFileTest, TheFilesOwnPathIsOneJavaCanOpen) {
  struct Case {
    std::string folder, shortFile, option;
  } cases[] = {
      {"C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Temp", "C:\\Users\\8D0B~1\\Temp\\JVA000~1.TMP",
       "@C:\\Users\\8D0B~1\\Temp\\JVA000~1.TMP"},
      {"C:\\Documents and Settings\\User\\Temp", "",
       "\"@C:\\Documents and Settings\\User\\Temp\\jva0000000000000001.tmp\""},
  };
  for (const Case& c : cases) {
    SetUp();
    fake().temporaryDirectory = c.folder;
    if (!c.shortFile.empty()) fakeSetShortPath(c.folder + "\\jva0000000000000001.tmp", c.shortFile);
    addLongClassPath();
    launch();
    ASSERT_EQ(1u, fake().processes.size());
    EXPECT_EQ(kJava + " " + c.option + " a.Main", fake().processes[0].commandLine);
    expectNoFileLeft();
  }
}

// However the launch ends, no argument file is left in the temporary folder.
TEST_F(ArgumentFileTest, NoFileIsLeftBehindOnAnyPath) {
  struct Case {
    const char* what;
    void (*arrange)();
    std::string box;  // its start
  } cases[] = {
      {"a failed start", [] { fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1); },
       "Error launching Class a.Main"},
      {"Java ends with an error", [] { fake().exitCodes.push_back(1); }, "Error launching Class"},
      {"main class and arguments alone too long",
       [] { appendSetting(&settings.arguments, std::string(32800, 'x').c_str()); },
       "The Java command line is 32889 characters long; Windows accepts at most 32766"},
      {"a folder Java cannot be given",
       [] {
         fake().temporaryDirectory = "C:\\\xD0\x98";
         fake().volumeHasShortNames = false;
       },
       "Java cannot be given the path\nC:\\\xD0\x98\\jva0000000000000001.tmp"},
      {"the file cannot be written", [] { fakeFailCall({FAKE_ENTRY(writeTemporaryFile)}, 1); },
       "The Java command line is 40440 characters long; Windows accepts at most 32766\n"
       "Its argument file could not be written (error 112)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    addLongClassPath();
    c.arrange();
    launch();
    ASSERT_EQ(1u, fake().boxes.size());
    EXPECT_EQ(c.box, fake().boxes[0].text.substr(0, c.box.size()));
    expectNoFileLeft();
  }
}

// The file's name is drawn at random, and drawn again when it is taken; a
// file that cannot be made is told with the system's error code.
TEST_F(ArgumentFileTest, AFileThatCannotBeMadeIsToldWithItsErrorCode) {
  static const std::string kLine = "The Java command line is 40440 characters long; Windows accepts "
                                   "at most 32766\nIts argument file could not be written (error ";
  struct Case {
    const char* what;
    void (*arrange)();
    std::string outcome;  // the box's end, or "@" and the file Java was given
  } cases[] = {
      {"names that are taken are drawn again",
       [] {
         fakeAddFile(kArgumentFile, "someone else's");
         fakeAddDirectoryEntry(kTemp + "\\jva0000000000000002.tmp", "x", true);
       },
       "@" + kTemp + "\\jva0000000000000003.tmp"},
      {"every name drawn is taken",
       [] {
         for (int i = 1; i <= 8; ++i) fakeAddFile(kTemp + "\\jva000000000000000" + std::to_string(i) + ".tmp", "");
       },
       "80)."},
      {"a temporary folder longer than MAX_PATH",
       [] { fake().temporaryDirectory = "C:\\" + std::string(257, 't'); }, "206)."},
      {"no room for the name in MAX_PATH",
       [] { fake().temporaryDirectory = "C:\\" + std::string(234, 't'); }, "206)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    addLongClassPath();
    c.arrange();
    unsigned long before = fake().files.size();
    if (c.outcome[0] == '@') {
      EXPECT_EQ(kOutcomeJavaRan, launch());
      ASSERT_EQ(1u, fake().processes.size());
      EXPECT_EQ(kJava + " " + c.outcome + " a.Main", fake().processes[0].commandLine);
      EXPECT_TRUE(fake().boxes.empty());
    } else {
      EXPECT_EQ(kOutcomeJavaRefused, launch());
      EXPECT_TRUE(fake().processes.empty());
      ASSERT_EQ(1u, fake().boxes.size());
      EXPECT_EQ(kLine + c.outcome, fake().boxes[0].text);
    }
    EXPECT_EQ(before, fake().files.size());  // what others put there stays; ours is gone
    EXPECT_EQ(0, fake().openHeldFiles);
  }
}

TEST_F(ArgumentFileTest, AJavaNotKnownToBe9OrLaterIsRefusedWithTheBox) {
  fakeInstallJava("C:\\jdk17", 64, "1.8.0_392");
  addLongClassPath();
  EXPECT_EQ(kOutcomeJavaRefused, launch());
  EXPECT_TRUE(fake().processes.empty());
  EXPECT_TRUE(fake().events.empty());
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_EQ("The Java command line is 40440 characters long; Windows accepts at most 32766\n"
            "Java 9 or later would take a line this long.",
            fake().boxes[0].text);
}

TEST_F(ArgumentFileTest, BelowTheLimitNothingChanges) {
  // "C:\jdk17\bin\javaw.exe -classpath " + entry + " a.Main" is exactly at the limit.
  std::string entry(kMaxCommandLineLength - 41, 'x');
  appendSetting(&settings.vmpath, entry.c_str());
  launch();
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ(kJava + " -classpath " + entry + " a.Main", fake().processes[0].commandLine);
  EXPECT_TRUE(fake().writtenFiles.empty());
}

TEST_F(ArgumentFileTest, DebugModeShowsTheLineStartedAndNamesTheFile) {
  settings.debug = true;
  addLongClassPath();
  launch();
  EXPECT_THAT(captions(), ElementsAre("Javapath is", "Command Line is"));
  EXPECT_EQ(kJava + " @" + kArgumentFile + " a.Main", fake().boxes[1].text);
  EXPECT_THAT(fake().output, HasSubstr("argument file " + kArgumentFile + ", 40411 bytes\n"));
}

// The version the Java search read counts first; otherwise the release file
// in the home above the executable's "bin", however the command is written.
TEST_F(ArgumentFileTest, WhichJavaIsKnownToTakeAnArgumentFile) {
  struct Case {
    const char* command;
    const char* searched;  // the version the search read, or NULL
    bool takes;
  } cases[] = {
      {"C:\\jdk17\\bin\\javaw.exe", nullptr, true},
      {"\"C:\\Program Files\\jdk9\\bin\\java.exe\"", nullptr, true},
      {"C:/Program Files/jdk9/bin/java.exe", nullptr, true},
      {"runtime\\bin\\javaw.exe", nullptr, true},       // from the current directory
      {"C:\\jdk8\\bin\\javaw.exe", nullptr, false},
      {"C:\\jdk9ea\\bin\\javaw.exe", nullptr, false},   // a pre-release of 9
      {"C:\\nohome\\bin\\javaw.exe", nullptr, false},   // no release file
      {"C:\\jdk17\\javaw.exe", nullptr, false},         // not in a bin directory
      {"javaw.exe", nullptr, false},
      {"C:\\jdk8\\bin\\javaw.exe", "11.0.2", true},
      {"C:\\jdk17\\bin\\javaw.exe", "1.8.0_392", false},
  };
  fakeInstallJava("C:\\Program Files\\jdk9", 64, "9");
  fakeInstallJava("C:\\Work\\runtime", 64, "21");
  fakeInstallJava("C:\\jdk8", 64, "1.8.0_392");
  fakeInstallJava("C:\\jdk9ea", 64, "9-ea");
  fakeInstallJava("C:\\nohome", 64);
  fakeAddFile("C:\\release", "JAVA_VERSION=\"17\"\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    setSetting(&settings.javapath, c.command);
    releaseMemory(settings.javaRuntimeVersion);
    settings.javaRuntimeVersion = c.searched ? copyText(c.searched) : nullptr;
    EXPECT_EQ(c.takes, javaTakesArgumentFile());
  }
}

// A runtime registered as 17.0.2 whose home has no release file: only the
// version the search read tells that it takes an argument file.
TEST_F(ArgumentFileTest, TheSearchTellsTheVersionOfTheJavaItChose) {
  fakeInstallJava("C:\\jdk", 64);
  fakeSetRegistryValue(kHiveLocalMachine, kViewOwn, "SOFTWARE\\JavaSoft\\JDK\\17.0.2", "JavaHome",
                       "C:\\jdk");
  std::string config = "mainclass a.Main\nminJava 11\n";
  for (int i = 0; i < 400; ++i) config += "addpath lib\\" + std::string(95, 'x') + "\n";
  fakeAddFile("C:\\Work\\app.config", config);
  resetLaunchSettings();
  char program[] = "C:\\Work\\app.exe";
  char* argv[] = {program};
  EXPECT_EQ(0, runLauncher(kGuiLauncher, 1, argv));
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ("C:\\jdk\\bin\\javaw.exe @" + kArgumentFile + " a.Main", fake().processes[0].commandLine);
}
