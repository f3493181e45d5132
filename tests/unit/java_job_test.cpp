#include "launch_java_test.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using JavaJobTest = LaunchJavaTest;

TEST_F(JavaJobTest, JavaIsHeldUntilItIsInAJobThatEndsItWithTheLauncher) {
  EXPECT_EQ(kOutcomeJavaRan, launch());
  ASSERT_EQ(1u, fake().jobs.size());
  EXPECT_EQ(kJobKillOnClose | kJobSilentBreakawayOk, fake().jobs[0].limitFlags);
  EXPECT_THAT(fake().events, ElementsAre("create job 1", "start suspended 1", "assign 1 to job 1",
                                         "resume 1", "close process 1", "close job 1"));
  const FakeProcess& java = fake().processes[0];
  EXPECT_EQ("C:\\jre\\bin\\javaw.exe a.Main", java.commandLine);
  EXPECT_TRUE(java.suspended && java.resumed && java.waitedForExit && java.closed);
  EXPECT_TRUE(java.inheritsHandles);  // the console launcher's standard handles
  EXPECT_EQ("", fake().output);
}

// The console launcher's Java is handed to the platform, to be waited for
// when the console closes, before it runs (and whether in a job or not).
TEST_F(JavaJobTest, TheConsoleLauncherWaitsForItsJavaWhenTheConsoleCloses) {
  EXPECT_EQ(kOutcomeJavaRan, launch(kConsoleLauncher));
  EXPECT_THAT(fake().events, ElementsAre("create job 1", "start suspended 1", "assign 1 to job 1",
                                         "await 1 at console end", "resume 1", "close process 1",
                                         "close job 1"));
  SetUp();
  fakeFailCall({FAKE_ENTRY(createJob)}, 1);
  launch(kConsoleLauncher);
  EXPECT_THAT(fake().events, ElementsAre("start suspended 1", "await 1 at console end",
                                         "resume 1", "close process 1"));
}

// Without a job Java runs as it did before there was one, and debug mode says so.
TEST_F(JavaJobTest, WhereNoJobCanBeHadJavaRunsWithoutOne) {
  struct Case {
    size_t failing;  // the entry that fails
    std::vector<std::string> events;
  } cases[] = {
      {FAKE_ENTRY(createJob), {"start suspended 1", "resume 1", "close process 1"}},
      {FAKE_ENTRY(assignToJob),
       {"create job 1", "start suspended 1", "close job 1", "resume 1", "close process 1"}},
  };
  for (const Case& c : cases) {
    SetUp();
    settings.debug = true;
    fakeFailCall({c.failing}, 1);
    fake().exitCodes.push_back(3);
    EXPECT_EQ(kOutcomeJavaRan, launch());
    EXPECT_EQ(3u, exitCode);
    EXPECT_EQ(c.events, fake().events);
    EXPECT_EQ(0, fake().processes[0].job);
    EXPECT_THAT(fake().output,
                HasSubstr("Java runs without a job (error 5): it may outlive the launcher\n"));
    EXPECT_THAT(captions(), ElementsAre("Javapath is", "Command Line is", "Error"));
  }
}

TEST_F(JavaJobTest, AFailedStartLeavesNoJobOpen) {
  fake().startErrorCode = 2;
  fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1);
  EXPECT_EQ(kOutcomeJavaNotStarted, launch());
  EXPECT_THAT(fake().events, ElementsAre("create job 1", "close job 1"));
  EXPECT_THAT(captions(), ElementsAre("Error"));
}

// The browser for a download page is none of the job's business.
TEST_F(JavaJobTest, TheBrowserIsStartedOutsideAnyJob) {
  fakeAddFile("C:\\Work\\app.config", "downloadPage https://x.test/\njavaVersion 1.9\n");
  fake().yesNoAnswer = kAnswerYes;
  EXPECT_EQ(11, readConfig("C:\\Work\\app.config"));
  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ(browserCommand("https://x.test/"), fake().processes[0].commandLine);
  EXPECT_FALSE(fake().processes[0].suspended);
  EXPECT_TRUE(fake().jobs.empty());
}
