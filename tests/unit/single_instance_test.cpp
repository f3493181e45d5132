#include "app/main_sequence.h"
#include "common/exit_status.h"
#include "config/instance_name.h"
#include "launcher_test.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

static const std::string kInstance = "Local\\Corvane.singleInstance.com.example.viewer";

class SingleInstanceTest : public LauncherTest {
 protected:
  static int start(const std::string& config, bool debug = false) {
    fakeAddFile("C:\\Apps\\viewer.config",
                "mainclass a.Main\njavapath C:\\jre\\bin\\javaw.exe\n" + config);
    fake().programPath = "C:\\Apps\\viewer.exe";
    std::vector<std::string> args = {fake().programPath};
    if (debug) args.push_back("-d");
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    return runLauncher(kGuiLauncher, (int)argv.size(), argv.data());
  }
  static void anotherLauncherRuns(unsigned long javaProcess) {
    fake().instances[kInstance] = {javaProcess};
  }
  static std::string nameOf(size_t characters) {
    std::string name;
    for (size_t i = 0; i < characters; ++i) name += "\xD0\x96";  // two bytes, one character
    return name;
  }
};

TEST_F(SingleInstanceTest, TheKeyNamesAnObjectInTheSessionsNamespace) {
  struct Case {
    std::string value;
    std::string object;  // empty: refused with a box, and ignored
  } cases[] = {
      {"com.example.viewer", kInstance},
      {"$VENDOR/Viewer Pro", "Local\\Corvane.singleInstance.Example/Viewer Pro"},
      {nameOf(kMaxInstanceNameLength), "Local\\Corvane.singleInstance." + nameOf(200)},
      {nameOf(kMaxInstanceNameLength + 1), ""},
      {"com\\example", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    SetUp();
    fakeSetEnvironment("VENDOR", "Example");
    fakeAddFile("C:\\Work\\app.config", "\xEF\xBB\xBFsingleInstance " + c.value + "\n");  // UTF-8
    readConfig("C:\\Work\\app.config");
    EXPECT_EQ(c.object, settings.singleInstance ? settings.singleInstance : "");
    EXPECT_EQ(c.object.empty() ? 1u : 0u, fake().boxes.size());
  }
}

TEST_F(SingleInstanceTest, ABadNameIsReportedWhenReadAndTheApplicationStartsAsWithoutTheKey) {
  EXPECT_EQ(kExitLaunchRan, start("singleInstance a\\b\n"));
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_EQ("Error", fake().boxes[0].caption);
  EXPECT_EQ(
      "singleInstance a\\b\nThis name may not be empty, hold a backslash or have more than 200 "
      "characters. The line is ignored.",
      fake().boxes[0].text);
  EXPECT_EQ(1u, fake().processes.size());
  EXPECT_TRUE(fake().instances.empty());
}

// Java's process id is in the mark while Java runs; the mark goes before the
// launcher reports how Java ended.
TEST_F(SingleInstanceTest, TheFirstStartHoldsTheInstanceWhileItsJavaRuns) {
  fake().exitCodes.push_back(1);
  EXPECT_EQ(kExitLaunchRan, start("singleInstance com.example.viewer\n", true));
  EXPECT_THAT(fake().events,
              ElementsAre("claim " + kInstance, "create job 1", "start suspended 1",
                          "assign 1 to job 1", "resume 1", "publish 1000", "close process 1",
                          "close job 1", "release " + kInstance));
  EXPECT_TRUE(fake().processes[0].waitedForExit);
  EXPECT_THAT(captions(), testing::Contains("Error"));
  EXPECT_THAT(fake().output, HasSubstr("singleInstance " + kInstance + ": no other instance\n"));
}

TEST_F(SingleInstanceTest, ASecondStartBringsTheRunningOneForwardAndStartsNothing) {
  struct Case {
    unsigned long runningJava;
    std::vector<unsigned long> broughtForward;
  } cases[] = {
      {4242, {4242}},
      {0, {}},  // the first has not started its Java yet
  };
  for (const Case& c : cases) {
    SetUp();
    anotherLauncherRuns(c.runningJava);
    EXPECT_EQ(kExitAlreadyRunning, start("singleInstance com.example.viewer\n", true));
    EXPECT_TRUE(fake().processes.empty());
    EXPECT_TRUE(fake().events.empty());
    EXPECT_EQ(c.broughtForward, fake().windowsBroughtForward);
    EXPECT_THAT(fake().output, HasSubstr("singleInstance " + kInstance +
                                         ": found, Java process " +
                                         std::to_string(c.runningJava) + "\n"));
    EXPECT_EQ(1u, fake().instances.count(kInstance));  // the other launcher's, untouched
  }
}

TEST_F(SingleInstanceTest, OtherNamesAndStartsWithoutTheKeyAreNotAffected) {
  for (const char* config : {"singleInstance com.example.other\n", ""}) {
    SetUp();
    anotherLauncherRuns(4242);
    EXPECT_EQ(kExitLaunchRan, start(config));
    EXPECT_EQ(1u, fake().processes.size());
    EXPECT_TRUE(fake().windowsBroughtForward.empty());
  }
}

TEST_F(SingleInstanceTest, AnInstanceThatCannotBeCheckedRunsItsOwnJava) {
  fakeFailCall({FAKE_ENTRY(claimInstance)}, 1);
  EXPECT_EQ(kExitLaunchRan, start("singleInstance com.example.viewer\n", true));
  EXPECT_EQ(1u, fake().processes.size());
  EXPECT_THAT(fake().output, HasSubstr(": cannot be checked\n"));
}
