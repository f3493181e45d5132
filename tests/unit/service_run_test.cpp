// The service under the service control manager: what it starts, what it
// reports and in what order, how a stop ends Java, and how every outcome
// ends the service.
#include "service_test.h"

namespace {

const std::string kConfig = std::string("mainclass com.example.Agent\njavapath ") +
                            ServiceTest::kJava + "\nargument --serve\n";

class ServiceRunTest : public ServiceTest {};

TEST_F(ServiceRunTest, RunsJavaOnItsConsoleWithTheLogAsOutputAndEndsCleanWhenJavaEndsWithZero) {
  configure(kConfig);
  fake().service.startParameters = {"agent", "one", "two words"};
  EXPECT_EQ(0, run({}));

  ASSERT_EQ(1u, fake().processes.size());
  EXPECT_EQ(std::string(kJava) + " com.example.Agent one \"two words\" --serve ",
            fake().processes[0].commandLine);
  EXPECT_EQ((std::vector<std::string>{"report start pending 1", "open console", "create job 1",
                                      "start suspended 1", "assign 1 to job 1", "resume 1",
                                      "close pipe 1 writer", "report running 0", "close process 1",
                                      "close pipe 1 reader", "close job 1", "report stopped 0"}),
            eventsOf({"report", "open", "create", "start", "assign", "resume", "close"}));
  EXPECT_TRUE(fake().processes[0].outputGiven);  // into the log, through its pipe
  EXPECT_THAT(log(), ::testing::StartsWith("2026-12-10 09:30:00 Starting (Corvane 1.0.8)\n"
                                           "2026-12-10 09:30:00 agent started Java, process 1000\n"));
  EXPECT_THAT(log(), ::testing::EndsWith("agent stopped: Java ended with status 0\n"));
  ASSERT_EQ(2u, fake().service.events.size());
  EXPECT_EQ("agent", fake().service.events[1].source);
  EXPECT_EQ(kEventInformation, fake().service.events[1].type);
  EXPECT_EQ(0, leftOpen());
}

TEST_F(ServiceRunTest, EachOutcomeEndsTheServiceWithItsSpecificCodeAndTheReasonInTheLog) {
  struct Row {
    const char* what;
    std::string config;  // empty: none
    unsigned long javaExit;
    unsigned long startError;  // 0: Java starts
    unsigned long specificCode;
    const char* logged;
  } rows[] = {
      {"Java ends with 3", kConfig, 3, 0, 3, "agent stopped: Java ended with status 3"},
      {"no configuration", "", 0, 0, 2,
       "Can't open C:\\Services\\Agent\\agent.config Error No such file or directory"},
      {"no main class", std::string("javapath ") + kJava + "\n", 0, 0, 125,
       "Error: No main class is named in the configuration"},
      {"Java cannot be started", kConfig, 0, 2, 126, "Error launching Class com.example.Agent"},
      {"no Java found", "mainclass com.example.Agent\nminJava 21\n", 0, 0, 11,
       "needs Java 21 or later"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    startAfresh();
    if (!row.config.empty()) configure(row.config);
    fake().exitCodes.push_back(row.javaExit);
    if (row.startError) {
      fake().startErrorCode = row.startError;
      fakeFailCall({FAKE_ENTRY(startSuspendedProcess)}, 1);
    }
    EXPECT_EQ((int)row.specificCode, run({}));
    const ServiceStatusReport& end = fake().service.reports.back();
    EXPECT_EQ(kServiceStopped, end.state);
    EXPECT_EQ(kErrorServiceSpecific, end.win32ExitCode);
    EXPECT_EQ(row.specificCode, end.specificExitCode);
    EXPECT_THAT(log(), ::testing::HasSubstr(row.logged));
    EXPECT_EQ(kEventError, fake().service.events.back().type);
    EXPECT_EQ(0, leftOpen());
  }
}

// Stops, in order: what the wait for Java gave, how Java takes Ctrl+C, and
// what the launcher did and reported.
TEST_F(ServiceRunTest, AStopSendsCtrlCWaitsUpToTheTimeoutThenEndsTheJob) {
  struct Row {
    const char* what;
    ServiceWait wait;
    unsigned long javaEndsAfter;  // milliseconds after Ctrl+C; kFakeNever
    size_t failingEntry;          // an entry that fails once; 0 for none
    std::vector<std::string> events;
    const char* logged;
  } rows[] = {
      {"Java ends 2.5 s after Ctrl+C", kWaitStopRequested, 2500, 0,
       {"report stop pending 1", "interrupt", "report stop pending 2", "report stop pending 3",
        "close process 1", "close job 1", "report stopped 0"},
       "Ctrl+C sent to Java, which has 3 seconds to end"},
      {"Java ignores Ctrl+C: its job ends after 3 s", kWaitStopRequested, kFakeNever, 0,
       {"report stop pending 1", "interrupt", "report stop pending 2", "report stop pending 3",
        "report stop pending 4", "report stop pending 5", "terminate job 1", "close process 1",
        "close job 1", "report stopped 0"},
       "Java has not ended within 3 seconds: ending it"},
      {"the machine shuts down", kWaitShutdown, 0, 0,
       {"report stop pending 1", "interrupt", "close process 1", "close job 1",
        "report stopped 0"},
       "The machine is shutting down"},
      {"no console for Java: its job ends at once", kWaitStopRequested, 0,
       FAKE_SERVICE_ENTRY(openJavaConsole),
       {"report stop pending 1", "report stop pending 2", "terminate job 1", "close process 1",
        "close job 1", "report stopped 0"},
       "No console for Java, so no Ctrl+C"},
      {"Ctrl+C cannot be sent", kWaitStopRequested, 0, FAKE_SERVICE_ENTRY(interruptConsole),
       {"report stop pending 1", "report stop pending 2", "terminate job 1", "close process 1",
        "close job 1", "report stopped 0"},
       "Ctrl+C cannot be sent to Java"},
      {"Java without a job ignores Ctrl+C: its process ends", kWaitStopRequested, kFakeNever,
       FAKE_ENTRY(createJob),
       {"report stop pending 1", "interrupt", "report stop pending 2", "report stop pending 3",
        "report stop pending 4", "report stop pending 5", "terminate process 1",
        "close process 1", "report stopped 0"},
       "Java has not ended within 3 seconds"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    startAfresh();
    configure(kConfig + "serviceStopTimeout 3\n");
    fake().service.javaOrStop = row.wait;
    fake().service.javaEndsAfterInterrupt = row.javaEndsAfter;
    fake().exitCodes.push_back(130);  // Java's status after Ctrl+C: a stop is clean all the same
    if (row.failingEntry) fakeFailCall({row.failingEntry}, 1);
    EXPECT_EQ(0, run({}));
    EXPECT_EQ(row.events, eventsOf({"report stop", "report stopped", "interrupt", "terminate",
                                    "close process", "close job"}));
    EXPECT_THAT(log(), ::testing::HasSubstr(row.logged));
    EXPECT_EQ(0ul, fake().service.reports.back().win32ExitCode);
    EXPECT_EQ(kEventInformation, fake().service.events.back().type);
    EXPECT_TRUE(fake().processes[0].waitedForExit) << "Java has ended";
    EXPECT_EQ(0, leftOpen());
  }
}

// A Java that asked for a restart runs again with the service's start
// parameters, on the console opened for the first, so a stop still reaches
// it with Ctrl+C; and a stop is the end, whatever the rules of restarting.
TEST_F(ServiceRunTest, ARestartedJavaKeepsItsParametersAndConsoleAndAStopRestartsNothing) {
  configure(kConfig + "restartCode 3\nrestartOnFailure 3\n");
  fake().service.startParameters = {"agent", "one"};
  fake().service.javaEndsFirst = 1;
  fake().service.javaOrStop = kWaitStopRequested;
  fake().exitCodes = {3, 130};
  EXPECT_EQ(0, run({}));

  ASSERT_EQ(2u, fake().processes.size());
  EXPECT_EQ(fake().processes[0].commandLine, fake().processes[1].commandLine);
  EXPECT_EQ(1u, eventsOf({"open console"}).size());
  EXPECT_EQ(1u, eventsOf({"interrupt"}).size());
  EXPECT_THAT(log(), ::testing::Not(::testing::HasSubstr("No console for Java")));
  EXPECT_EQ(0, leftOpen());
}

TEST_F(ServiceRunTest, WithDebugTheJavaCommandLineIsInTheLogAndTheServiceEndsAsWithout) {
  configure(kConfig);
  EXPECT_EQ(0, run({"-d"}));
  EXPECT_THAT(log(), ::testing::HasSubstr(std::string("Command Line is: ") + kJava +
                                          " com.example.Agent --serve \n"));
}

TEST_F(ServiceRunTest, OutsideTheServiceManagerWithoutACommandItShowsItsUsage) {
  fake().service.startedByManager = false;
  EXPECT_EQ(2, run({}));
  EXPECT_EQ("usage: agent.exe install [-d] | uninstall | start | stop | restart | status\n",
            fake().error);
  EXPECT_TRUE(fake().processes.empty());
}

}  // namespace
