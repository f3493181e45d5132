// Where Java's standard output and error go, and the box that names the
// cause of a failed end. The fake's Java writes its scripted output at once;
// the reader threads run when joined, in reads of pipeChunk bytes.
#include "launch/java_output.h"

#include "launch_java_test.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const char kBoxText[] =
    "Error launching Class a.Main\n with Java C:\\jre\\bin\\javaw.exe.\nError=1";

// A failed start as Java writes it: a line on standard output, a trace of
// 14 lines on standard error, in several writes.
const std::vector<FakeWrite> kFailedStart = {
    {1, "Starting viewer\r\n"},
    {2, "Exception in thread \"main\" java.lang.IllegalStateException: no display\r\n"},
    {2, "\tat a.Main.frame(Main.java:1)\r\n\tat a.Main.frame(Main.java:2)\r\n"},
    {2, "\tat a.Main.frame(Main.java:3)\r\n\tat a.Main.frame(Main.java:4)\r\n"
        "\tat a.Main.frame(Main.java:5)\r\n\tat a.Main.frame(Main.java:6)\r\n"
        "\tat a.Main.frame(Main.java:7)\r\n\tat a.Main.frame(Main.java:8)\r\n"
        "\tat a.Main.frame(Main.java:9)\r\n\tat a.Main.frame(Main.java:10)\r\n"
        "\tat a.Main.frame(Main.java:11)\r\n\tat a.Main.frame(Main.java:12)\r\n"},
    {1, "Viewer ends\r\n"},
    {2, "\tat a.Main.main(Main.java:13)\r\n"},
};
const char kLastTwelve[] =
    "\tat a.Main.frame(Main.java:2)\n\tat a.Main.frame(Main.java:3)\n"
    "\tat a.Main.frame(Main.java:4)\n\tat a.Main.frame(Main.java:5)\n"
    "\tat a.Main.frame(Main.java:6)\n\tat a.Main.frame(Main.java:7)\n"
    "\tat a.Main.frame(Main.java:8)\n\tat a.Main.frame(Main.java:9)\n"
    "\tat a.Main.frame(Main.java:10)\n\tat a.Main.frame(Main.java:11)\n"
    "\tat a.Main.frame(Main.java:12)\n\tat a.Main.main(Main.java:13)";

std::string written(int stream) {
  std::string bytes;
  for (const FakeWrite& write : kFailedStart)
    if (stream == 0 || write.stream == stream) bytes += write.bytes;
  return bytes;
}

class JavaOutputTest : public LaunchJavaTest {
 protected:
  void SetUp() override {
    LaunchJavaTest::SetUp();
    fake().javaWrites = kFailedStart;
    fake().pipeChunk = 5;
    fake().exitCodes.push_back(1);
  }
  // Every run leaves nothing open, and no read would have waited for ever.
  void TearDown() override {
    const FakeState& left = fake();
    EXPECT_EQ(0, left.openPipeEnds + left.openWorkers + left.openLocks + left.openAppendFiles +
                     left.openProcesses + left.openThreads + left.openJobs);
    EXPECT_EQ(0, left.readsThatWouldWait + left.lockMisuses);
    LaunchJavaTest::TearDown();
  }
};

// Nor in debug mode by the GUI launcher without a log: java.exe's own
// console shows both streams.
TEST_F(JavaOutputTest, NothingIsTakenByTheConsoleLauncherOrWhereStandardErrorIsUsable) {
  struct Case {
    LauncherVariant variant;
    bool standardErrorUsable;
    const char* javaLog;
    bool consoleJava;
  } cases[] = {
      {kConsoleLauncher, false, "java.log", true},
      {kConsoleLauncher, true, nullptr, true},
      {kGuiLauncher, true, nullptr, false},
      {kGuiLauncher, false, nullptr, true},
  };
  for (const Case& c : cases) {
    SetUp();
    settings.consoleJava = c.consoleJava;
    fake().standardErrorUsable = c.standardErrorUsable;
    if (c.javaLog) setSetting(&settings.javaLog, c.javaLog);
    launch(c.variant);
    EXPECT_TRUE(fake().pipes.empty());
    EXPECT_FALSE(fake().processes[0].outputGiven);
    EXPECT_EQ(written(1), fake().javaOwnOutput);
    EXPECT_EQ(written(2), fake().javaOwnError);
    EXPECT_FALSE(fakeHasFile("C:\\Work\\java.log"));
    if (c.variant == kGuiLauncher) EXPECT_THAT(fake().boxes, ElementsAre(::testing::_));
    for (const FakeMessageBox& box : fake().boxes) EXPECT_EQ(kBoxText, box.text);
  }
}

// Started from the shell, without a log: standard error is read for the
// box; standard output goes where it always went.
TEST_F(JavaOutputTest, WithoutAUsableStandardErrorTheBoxShowsTheLastLinesJavaReported) {
  fake().standardErrorUsable = false;
  launch();
  ASSERT_EQ(1u, fake().pipes.size());
  EXPECT_EQ(written(2), fake().pipes[0].read);
  const FakeProcess& java = fake().processes[0];
  EXPECT_TRUE(java.outputGiven);
  EXPECT_EQ(0, java.outputPipe);
  EXPECT_EQ(1, java.errorPipe);
  EXPECT_EQ(written(1), fake().javaOwnOutput);
  EXPECT_THAT(captions(), ElementsAre("Error"));
  EXPECT_EQ(std::string(kBoxText) + "\n\nJava reported:\n" + kLastTwelve, fake().boxes[0].text);
  EXPECT_TRUE(fake().files.empty());

  SetUp();
  fake().standardErrorUsable = false;
  fake().exitCodes = {0};
  launch();
  EXPECT_TRUE(fake().boxes.empty());
}

TEST_F(JavaOutputTest, TheLogGetsEveryByteInOrderAndTheBoxItsLinesWithoutAStandardError) {
  struct Case {
    bool standardErrorUsable;
    std::string log;      // one pipe keeps the order between the streams; two keep each
    size_t pipes;
    const char* reported;  // after the box's own text
  } cases[] = {
      {true, written(0), 1, ""},
      {false, written(1) + written(2), 2, "\n\nJava reported:\n"},
  };
  for (const Case& c : cases) {
    SetUp();
    fake().standardErrorUsable = c.standardErrorUsable;
    fake().programPath = "C:\\Work\\launcher.exe";
    setSetting(&settings.javaLog, "logs\\java.log");
    setSetting(&settings.javaLogSize, "1");
    launch();
    EXPECT_EQ(c.log, fake().files["c:\\work\\logs\\java.log"]);
    EXPECT_EQ(c.pipes, fake().pipes.size());
    EXPECT_EQ("", fake().javaOwnOutput + fake().javaOwnError);
    EXPECT_EQ(std::string(kBoxText) + c.reported + (*c.reported ? kLastTwelve : ""),
              fake().boxes[0].text);
  }
}

// Without a log, a pipe or a reader, Java's output goes where it went before.
TEST_F(JavaOutputTest, WhatCannotBeMadeLeavesJavasOutputWhereItWentBefore) {
  struct Case {
    size_t failing;
    bool standardErrorUsable;
    const char* trace;
    bool reported;  // the box still shows the lines
  } cases[] = {
      {FAKE_ENTRY(openAppendFile), true,
       "Java's log C:\\Work\\java.log cannot be opened (error 5): its output goes where it went "
       "before\n", false},
      {FAKE_ENTRY(openAppendFile), false,
       "Java's log C:\\Work\\java.log cannot be opened (error 5): its output goes where it went "
       "before\n", true},
      {FAKE_ENTRY(createLock), true, "(error 8): its output goes", false},
      {FAKE_ENTRY(createOutputPipe), true,
       "Java's output cannot be read (error 5): it goes where it went before\n", false},
      {FAKE_ENTRY(startThread), false, "Java's output cannot be read (error 8)", false},
  };
  for (const Case& c : cases) {
    SetUp();
    settings.debug = true;
    fake().standardErrorUsable = c.standardErrorUsable;
    setSetting(&settings.javaLog, "java.log");
    fakeFailCall({c.failing}, 1);
    launch();
    EXPECT_THAT(fake().output, HasSubstr(c.trace));
    EXPECT_EQ(written(1), fake().javaOwnOutput);
    EXPECT_EQ(c.reported ? "" : written(2), fake().javaOwnError);
    EXPECT_EQ("", fake().files["c:\\work\\java.log"]);  // opened, maybe, but nothing in it
    EXPECT_EQ(c.reported, fake().boxes.back().text.find("Java reported:") != std::string::npos);
  }
}

TEST_F(JavaOutputTest, ALogThatCannotBeWrittenIsStillDrainedAndNamed) {
  settings.debug = true;
  setSetting(&settings.javaLog, "java.log");
  fakeFailCallsFrom({FAKE_ENTRY(appendToFile)}, 2);
  launch();
  EXPECT_EQ(written(0), fake().pipes[0].read);
  EXPECT_EQ(written(0).substr(0, 5), fake().files["c:\\work\\java.log"]);
  EXPECT_THAT(fake().output, HasSubstr("Java's log C:\\Work\\java.log could not be written "
                                       "(error 112)\n"));
}

// A program that Java started may hold its pipes after Java has ended: what
// Java left there is read, and the launcher does not wait for that program.
TEST_F(JavaOutputTest, AProgramThatJavaStartedDoesNotHoldTheLauncher) {
  fake().standardErrorUsable = false;
  fake().javaLeavesOutputOpen = true;
  setSetting(&settings.javaLog, "java.log");
  launch();
  EXPECT_EQ(written(1) + written(2), fake().files["c:\\work\\java.log"]);
  EXPECT_TRUE(fake().pipes[0].stopped && fake().pipes[1].stopped);
}

TEST_F(JavaOutputTest, TheLogKeysAreReadAsWrittenEachByItsOwnName) {
  fakeSetEnvironment("LOGS", "D:\\Logs");
  fakeAddFile("C:\\Work\\app.config",
              "javaLogSize 2\njavaLogKeep 0\njavaLog $LOGS\\viewer.log\n");
  ASSERT_EQ(0, readConfig("C:\\Work\\app.config"));
  EXPECT_STREQ("D:/Logs/viewer.log", settings.javaLog);
  EXPECT_STREQ("2", settings.javaLogSize);
  EXPECT_STREQ("0", settings.javaLogKeep);
}

}  // namespace
