#include "launch_java_test.h"

using ::testing::ElementsAre;

TEST_F(LaunchJavaTest, StartsWaitsAndReturnsTheExitCodeSilentlyOnZero) {
  EXPECT_EQ(kOutcomeJavaRan, launch());
  EXPECT_EQ(0u, exitCode);
  ASSERT_EQ(1u, fake().processes.size());
  const FakeProcess& process = fake().processes[0];
  EXPECT_EQ("C:\\jre\\bin\\javaw.exe a.Main", process.commandLine);
  EXPECT_FALSE(process.hasTitle);
  EXPECT_TRUE(process.waitedForInputIdle);
  EXPECT_EQ(5000u, process.idleMilliseconds);
  EXPECT_TRUE(process.waitedForExit);
  EXPECT_EQ(0, fake().openProcesses);  // closed once its exit code was read
  EXPECT_TRUE(fake().boxes.empty());
  EXPECT_EQ("", fake().output);
}

TEST_F(LaunchJavaTest, ConsoleTitleGoesIntoTheStartupRecord) {
  setSetting(&settings.consoleTitle, "Viewer Console");
  launch();
  EXPECT_TRUE(fake().processes[0].hasTitle);
  EXPECT_EQ("Viewer Console", fake().processes[0].title);
}

TEST_F(LaunchJavaTest, NonZeroExitCodeIsReported) {
  fake().exitCodes.push_back(1);
  EXPECT_EQ(kOutcomeJavaRan, launch());
  EXPECT_EQ(1u, exitCode);
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_EQ("Error", fake().boxes[0].caption);
  EXPECT_EQ("Error launching Class a.Main\n with Java C:\\jre\\bin\\javaw.exe.\nError=1",
            fake().boxes[0].text);
  EXPECT_EQ((unsigned)kBoxIconError, fake().boxes[0].style);
}

TEST_F(LaunchJavaTest, ExitCodeIsShownSigned) {
  fake().exitCodes.push_back(0xC0000005UL);
  launch();
  EXPECT_NE(std::string::npos, fake().boxes[0].text.find("Error=-1073741819"));
}

TEST_F(LaunchJavaTest, DebugModeShowsPathAndCommandLineBeforeTheStartAndTraces) {
  settings.debug = true;
  fake().exitCodes.push_back(3);
  launch();
  EXPECT_THAT(captions(), ElementsAre("Javapath is", "Command Line is", "Error"));
  EXPECT_EQ("C:\\jre\\bin\\javaw.exe", fake().boxes[0].text);
  EXPECT_EQ("C:\\jre\\bin\\javaw.exe a.Main", fake().boxes[1].text);
  EXPECT_EQ(0u, fake().boxes[0].style);
  EXPECT_EQ("cmdLine is 42 chars long\nCreateProcess ret 1, exitCode=3\n", fake().output);
}

TEST_F(LaunchJavaTest, FailedStartIsReportedAndNothingIsWaitedFor) {
  settings.debug = true;
  fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1);
  EXPECT_EQ(kOutcomeJavaNotStarted, launch());
  EXPECT_FALSE(fake().processes[0].waitedForExit);
  EXPECT_EQ("Error launching Class a.Main\n with Java C:\\jre\\bin\\javaw.exe.\nError=5",
            fake().boxes.back().text);
  EXPECT_NE(std::string::npos, fake().output.find("CreateProcess ret 0, exitCode=5\n"));
}

TEST_F(LaunchJavaTest, FailedStartWithoutASystemCodeIsStillAFailure) {
  fake().startErrorCode = 0;
  fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1);
  EXPECT_EQ(kOutcomeJavaNotStarted, launch());
  EXPECT_FALSE(fake().processes[0].waitedForExit);
  ASSERT_THAT(captions(), ElementsAre("Error"));
  EXPECT_THAT(fake().boxes[0].text, ::testing::EndsWith("Error=0"));
}

TEST_F(LaunchJavaTest, EmptyJavapathIsUsedAsWritten) {
  setSetting(&settings.javapath, "");
  launch();
  EXPECT_EQ(" a.Main", fake().processes[0].commandLine);
}

TEST_F(LaunchJavaTest, CommandLineBeyondTheSystemLimitIsRefused) {
  appendSetting(&settings.vmpath, std::string(kMaxCommandLineLength, 'x').c_str());
  EXPECT_EQ(kOutcomeJavaRefused, launch());
  EXPECT_TRUE(fake().processes.empty());
  EXPECT_THAT(captions(), ElementsAre("Error"));

  installFakePlatform();
  resetLaunchSettings();
  setSetting(&settings.javapath, "j");
  setSetting(&settings.mainclass, "m");
  // "j -classpath " + entry + " m" is exactly at the limit: started.
  appendSetting(&settings.vmpath, std::string(kMaxCommandLineLength - 15, 'x').c_str());
  launch();
  EXPECT_EQ(1u, fake().processes.size());
}

TEST_F(LaunchJavaTest, LongValuesInTheErrorTextComeOutWhole) {
  setSetting(&settings.mainclass, std::string(5000, 'm').c_str());
  fake().exitCodes.push_back(1);
  launch();
  EXPECT_EQ("Error launching Class " + std::string(5000, 'm') +
                "\n with Java C:\\jre\\bin\\javaw.exe.\nError=1",
            fake().boxes[0].text);
}

// What the shell and the console ask of Java's start: the launcher's own
// show state passed on, the taskbar identity over the console title, and no
// console window for the java.exe of a console launcher that has none.
TEST_F(LaunchJavaTest, JavasStartCarriesTheShowStateTheIdentityAndTheConsoleWindowAsked) {
  struct Row {
    const char* what;
    LauncherVariant variant;
    int showState;  // the launcher's own; -1: none
    bool hasConsole;
    const char* consoleTitle;    // NULL: none
    const char* appUserModelId;  // NULL: none
    bool hasTitle;
    const char* title;
    bool titleIsAppId;
    bool noConsoleWindow;
  } rows[] = {
      {"nothing asked", kGuiLauncher, -1, false, nullptr, nullptr, false, "", false, false},
      {"a maximised shortcut", kGuiLauncher, 3, false, nullptr, nullptr, false, "", false, false},
      {"hidden by its starter", kGuiLauncher, 0, false, nullptr, nullptr, false, "", false, false},
      {"a console title", kGuiLauncher, -1, false, "Viewer", nullptr, true, "Viewer", false, false},
      {"an identity", kGuiLauncher, 7, false, nullptr, "Example.Viewer", true, "Example.Viewer", true,
       false},
      {"both: the identity wins", kGuiLauncher, -1, false, "Viewer", "Example.Viewer", true,
       "Example.Viewer", true, false},
      {"a tool on a console", kConsoleLauncher, -1, true, "Tool", nullptr, true, "Tool", false, false},
      {"a detached tool", kConsoleLauncher, 1, false, nullptr, nullptr, false, "", false, true},
  };
  for (const Row& row : rows) {
    SetUp();
    fake().startupShowState = row.showState;
    fake().hasConsole = row.hasConsole;
    if (row.consoleTitle) setSetting(&settings.consoleTitle, row.consoleTitle);
    if (row.appUserModelId) setSetting(&settings.appUserModelId, row.appUserModelId);
    EXPECT_EQ(kOutcomeJavaRan, launch(row.variant)) << row.what;
    const FakeProcess& java = fake().processes[0];
    EXPECT_EQ(row.showState >= 0, java.usesShowWindow) << row.what;
    if (row.showState >= 0) EXPECT_EQ(row.showState, java.showWindow) << row.what;
    EXPECT_EQ(row.hasTitle, java.hasTitle) << row.what;
    EXPECT_EQ(row.title, java.title) << row.what;
    EXPECT_EQ(row.titleIsAppId, java.titleIsAppId) << row.what;
    EXPECT_EQ(row.noConsoleWindow, java.noConsoleWindow) << row.what;
  }
}
