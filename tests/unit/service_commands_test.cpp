// The service launcher's commands against the fake service control manager:
// what each registers, controls and says, and that a registration that
// fails part-way leaves none half-written.
#include <gmock/gmock.h>

#include "service_test.h"

namespace {

class ServiceCommandsTest : public ServiceTest {
 protected:
  // A registered service in a state, as the fake's manager keeps it.
  static FakeService& registered(unsigned long state, unsigned long win32Exit = 0,
                                 unsigned long specific = 0) {
    FakeService& service = fake().service.services["agent"];
    service.command = std::string("\"") + kExe + "\"";
    service.state = {state, state == kServiceRunning ? 3000ul : 0ul, win32Exit, specific};
    return service;
  }
  static std::string eventSourceValue(const char* name) {
    RegistryKey key = nullptr;
    if (platform.registryOpen(kHiveLocalMachine, kViewOwn, kEventSource, &key)) return "(none)";
    char buffer[300] = {};
    unsigned long size = sizeof buffer;
    std::string value = platform.registryQueryValue(key, name, buffer, &size) == kRegistrySuccess
                            ? std::string(buffer, size)
                            : "(none)";
    platform.registryClose(key);
    return value;
  }
};

const char kFullConfig[] =
    "appname Example Agent\nmainclass a.B\nserviceDescription Serves examples\n"
    "serviceStart delayed\nserviceAccount LocalService\nserviceDependsOn Tcpip\n"
    "serviceDependsOn Dnscache\nserviceRestart 30\nserviceStopTimeout 40\n";

TEST_F(ServiceCommandsTest, InstallRegistersTheQuotedExeTheKeysChoicesAndTheEventSource) {
  configure(kFullConfig);
  EXPECT_EQ(0, run({"install", "-d"}));
  EXPECT_THAT(fake().error, ::testing::EndsWith("\nagent: installed\n"));
  FakeService* service = fakeService("agent");
  ASSERT_NE(nullptr, service);
  EXPECT_EQ("Example Agent", service->displayName);
  EXPECT_EQ("\"C:\\Services\\Agent\\agent.exe\" -d", service->command);
  EXPECT_EQ(kServiceAutoStart, service->startType);
  EXPECT_TRUE(service->delayedStart);
  EXPECT_EQ("NT AUTHORITY\\LocalService", service->account);
  EXPECT_EQ("Tcpip/Dnscache/", service->dependencies);
  EXPECT_EQ("Serves examples", service->description);
  EXPECT_EQ(86400ul, service->failureResetSeconds);
  ASSERT_EQ(3u, service->failureActions.size());
  for (const ServiceAction& action : service->failureActions) {
    EXPECT_EQ(kActionRestart, action.type);
    EXPECT_EQ(30000ul, action.delayMilliseconds);
  }
  EXPECT_TRUE(service->failureOnNonCrash) << "a Java that ends with an error is restarted too";
  EXPECT_EQ(45000ul, service->preshutdownMilliseconds);
  EXPECT_EQ(std::string(kExe) + '\0', eventSourceValue("EventMessageFile"));
  EXPECT_EQ(std::string("\x07\0\0\0", 4), eventSourceValue("TypesSupported"));
  EXPECT_EQ(0, leftOpen());
}

// Run from another folder, a command reads the configuration as the running
// service does: includes by a relative path or by EXEDIR find the exe's files.
TEST_F(ServiceCommandsTest, ACommandReadsTheConfigurationFromTheExesDirectoryAsTheServiceDoes) {
  configure("mainclass a.B\ninclude names.config\ninclude $EXEDIR\\start.config\n");
  fakeAddFile("C:\\Services\\Agent\\names.config", "serviceName examples\n");
  fakeAddFile("C:\\Services\\Agent\\start.config", "serviceStart manual\n");
  fake().currentDirectory = "C:\\Windows\\system32";
  EXPECT_EQ(0, run({"install"}));
  FakeService* service = fakeService("examples");
  ASSERT_NE(nullptr, service);
  EXPECT_EQ(kServiceDemandStart, service->startType);
}

TEST_F(ServiceCommandsTest, InstallTakesTheStartAndAccountItKnowsAndRefusesOthers) {
  struct Row {
    const char* config;
    int status;
    unsigned long startType;
    bool delayed;
    const char* account;
    const char* said;
  } rows[] = {
      {"", 0, kServiceAutoStart, false, "LocalSystem", "agent: installed\n"},
      {"serviceStart manual\nserviceAccount networkservice\n", 0, kServiceDemandStart, false,
       "NT AUTHORITY\\NetworkService", "agent: installed\n"},
      {"serviceStart Auto\nserviceAccount LocalSystem\n", 0, kServiceAutoStart, false,
       "LocalSystem", "agent: installed\n"},
      {"serviceStart boot\n", 2, 0, false, "",
       "serviceStart takes auto, delayed or manual, not \"boot\"\n"},
      {"serviceAccount Administrator\n", 2, 0, false, "",
       "serviceAccount takes LocalSystem, LocalService or NetworkService, not \"Administrator\"\n"},
      {"serviceRestart soon\n", 2, 0, false, "",
       "serviceRestart takes 0 to 86400 seconds, not \"soon\"\n"},
      {"serviceStopTimeout 0\n", 2, 0, false, "",
       "serviceStopTimeout takes 1 to 86400 seconds, not \"0\"\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.config);
    fake().service.services.clear();
    configure(std::string("mainclass a.B\n") + row.config);
    EXPECT_EQ(row.status, run({"install"}));
    EXPECT_EQ(row.said, fake().error);
    FakeService* service = fakeService("agent");
    ASSERT_EQ(row.status == 0, service != nullptr);
    if (!service) continue;
    EXPECT_EQ(row.startType, service->startType);
    EXPECT_EQ(row.delayed, service->delayedStart);
    EXPECT_EQ(row.account, service->account);
    EXPECT_EQ("\"C:\\Services\\Agent\\agent.exe\"", service->command);
    EXPECT_TRUE(service->failureActions.empty());
  }
}

// The main fields are written whole each time; the other settings where
// they differ.
TEST_F(ServiceCommandsTest, InstallingAgainChangesWhatDiffersAndSaysUpdated) {
  configure(kFullConfig);
  ASSERT_EQ(0, run({"install"}));
  configure("mainclass a.B\nserviceName agent\n");
  fake().events.clear();
  int before = fakeCallCount({FAKE_SERVICE_ENTRY(setServiceSetting)});
  EXPECT_EQ(0, run({"install"}));
  EXPECT_EQ("agent: updated\n", fake().error);
  FakeService* service = fakeService("agent");
  EXPECT_EQ("agent", service->displayName);
  EXPECT_EQ("LocalSystem", service->account);
  EXPECT_EQ("", service->dependencies);
  EXPECT_EQ("", service->description);
  EXPECT_FALSE(service->delayedStart);
  EXPECT_TRUE(service->failureActions.empty());
  EXPECT_FALSE(service->failureOnNonCrash);
  EXPECT_EQ(25000ul, service->preshutdownMilliseconds);
  EXPECT_EQ(5, fakeCallCount({FAKE_SERVICE_ENTRY(setServiceSetting)}) - before)
      << "description, delayed start, actions, their flag, pre-shutdown";
  before = fakeCallCount({FAKE_SERVICE_ENTRY(setServiceSetting)});
  EXPECT_EQ(0, run({"install"}));
  EXPECT_EQ(before, fakeCallCount({FAKE_SERVICE_ENTRY(setServiceSetting)}))
      << "no setting differs, none is written";
}

// What the manager and the registry hold of the service, compared whole.
std::string registration() {
  FakeService* service = fakeService("agent");
  if (!service) return "(none)";
  std::string text = service->displayName + "|" + service->command + "|" +
                     std::to_string(service->startType) + "|" + service->account + "|" +
                     service->dependencies + "|" + service->description + "|" +
                     std::to_string(service->delayedStart) + "|" +
                     std::to_string(service->failureActions.size()) + "|" +
                     std::to_string(service->failureOnNonCrash) + "|" +
                     std::to_string(service->preshutdownMilliseconds);
  RegistryKey key = nullptr;
  bool source = platform.registryOpen(kHiveLocalMachine, kViewOwn,
                                      ServiceTest::kEventSource, &key) == kRegistrySuccess;
  if (source) platform.registryClose(key);
  return text + (source ? "|source" : "|no source");
}

// Each call of the install failing in turn: the service is registered as
// wanted, or as it was before (not at all, for a new one), and a refusal
// says why.
TEST_F(ServiceCommandsTest, AnInstallThatFailsAtAnyCallLeavesTheRegistrationAsItWas) {
  for (bool update : {false, true}) {
    installFakePlatform();
    fake().programPath = kExe;
    configure("mainclass a.B\nserviceDescription old\nserviceStart manual\n");
    if (update) ASSERT_EQ(0, run({"install"}));
    std::string earlier = registration();
    configure(kFullConfig);
    FakeState saved = fake();
    ASSERT_EQ(0, run({"install"}));
    std::string wanted = registration();
    int failures = 0;
    for (int call = 1;; ++call) {
      fake() = saved;
      installFakeServicePlatform();
      fakeFailCall(kFakeSystemEntries, call);
      int status = run({"install"});
      if (fake().failedCalls.empty()) break;
      ++failures;
      SCOPED_TRACE((update ? "update, " : "new, ") + std::string(fake().failedCalls.back()) +
                   " failing");
      std::string now = registration();
      if (status == 0) {
        EXPECT_EQ(wanted, now);
      } else {
        EXPECT_EQ(earlier, now);
        EXPECT_NE("", fake().error) << "a refusal says why";
      }
      EXPECT_EQ(0, leftOpen());
    }
    EXPECT_GT(failures, update ? 12 : 8);
  }
}

TEST_F(ServiceCommandsTest, ControlsWaitForTheStateAndSayWhereTheServiceGot) {
  struct Row {
    const char* what;
    std::vector<std::string> arguments;
    unsigned long stateBefore;  // 0: not installed
    void (*world)();
    int status;
    const char* said;
    std::vector<std::string> controls;
  } rows[] = {
      {"start", {"start"}, kServiceStopped, [] { fake().service.pendingQueries = 3; }, 0,
       "agent: running, Java process 4321\n", {"start service"}},
      {"start, Java fails", {"start"}, kServiceStopped, [] { fake().service.startRuns = false; },
       1, "agent: stopped, last exit status 126\n", {"start service"}},
      {"start, never running", {"start"}, kServiceStopped,
       [] { fake().service.pendingQueries = 1 << 30; }, 1,
       "agent: starting, still after 60 seconds\n", {"start service"}},
      {"start, running already", {"start"}, kServiceRunning, [] {}, 0,
       "agent: running, Java process 4321\n", {}},
      {"start, not installed", {"start"}, 0, [] {}, 1,
       "agent: start failed: The specified service does not exist as an installed service.\n",
       {}},
      {"stop", {"stop"}, kServiceRunning, [] { fake().service.pendingQueries = 2; }, 0,
       "agent: stopped, last exit status 0\n", {"stop service"}},
      {"stop, stopped already", {"stop"}, kServiceStopped, [] {}, 0,
       "agent: stopped, last exit status 0\n", {}},
      {"stop, hanging", {"stop"}, kServiceRunning, [] { fake().service.stopHangs = true; }, 1,
       "agent: stopping, still after 35 seconds\n", {"stop service"}},
      {"restart", {"restart"}, kServiceRunning, [] {}, 0, "agent: running, Java process 4321\n",
       {"stop service", "start service"}},
      {"restart, the stop hanging", {"restart"}, kServiceRunning,
       [] { fake().service.stopHangs = true; }, 1, "agent: stopping, still after 35 seconds\n",
       {"stop service"}},
      {"status, running", {"status"}, kServiceRunning, [] {}, 0,
       "agent: running, Java process 4321\n", {}},
      {"status, running, no Java published", {"status"}, kServiceRunning,
       [] { fake().service.children.clear(); }, 0, "agent: running\n", {}},
      {"status, stopped with an error", {"status"}, kServiceStopped, [] {}, 3,
       "agent: stopped, last exit status 3\n", {}},
      {"status, not installed", {"status"}, 0, [] {}, 4, "agent: not installed\n", {}},
      {"status, no configuration: the exe's name", {"status"}, kServiceRunning,
       [] { fake().files.clear(); }, 0,
       "Can't open C:\\Services\\Agent\\agent.config Error No such file or directory\n"
       "agent: running, Java process 4321\n",
       {}},
      {"status, refused", {"status"}, kServiceRunning,
       [] { fakeFailCall({FAKE_SERVICE_ENTRY(openServiceManager)}, 1); }, 1,
       "agent: status failed: Access is denied.\n", {}},
      {"no such command", {"frobnicate"}, kServiceRunning, [] {}, 2,
       "usage: agent.exe install [-d] | uninstall | start | stop | restart | status\n", {}},
      {"a command and more", {"stop", "now"}, kServiceRunning, [] {}, 2,
       "usage: agent.exe install [-d] | uninstall | start | stop | restart | status\n", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    installFakePlatform();
    fake().programPath = kExe;
    configure("mainclass a.B\n");
    if (row.stateBefore == kServiceStopped) registered(kServiceStopped, kErrorServiceSpecific, 3);
    if (row.stateBefore == kServiceRunning) registered(kServiceRunning);
    if (row.what == std::string("stop, stopped already")) registered(kServiceStopped);
    fake().service.children = {{3000, 4321}, {3001, 4321}};  // the service's Java, started again
    row.world();
    EXPECT_EQ(row.status, run(row.arguments));
    EXPECT_EQ(row.said, fake().error);
    EXPECT_EQ(row.controls, eventsOf({"start service", "stop service"}));
    EXPECT_EQ(0, leftOpen());
  }
}

TEST_F(ServiceCommandsTest, UninstallStopsTheServiceThenRemovesItAndItsEventSource) {
  configure("mainclass a.B\n");
  ASSERT_EQ(0, run({"install"}));
  fakeService("agent")->state = {kServiceRunning, 3000, 0, 0};
  fake().events.clear();
  EXPECT_EQ(0, run({"uninstall"}));
  EXPECT_EQ("agent: uninstalled\n", fake().error);
  EXPECT_EQ((std::vector<std::string>{"stop service", "delete service"}),
            eventsOf({"stop service", "delete service"}));
  EXPECT_EQ("(none)", registration());
  EXPECT_EQ("(none)", eventSourceValue("EventMessageFile"));

  EXPECT_EQ(1, run({"uninstall"}));
  EXPECT_EQ("agent: uninstall failed: The specified service does not exist as an installed "
            "service.\n",
            fake().error);

  ASSERT_EQ(0, run({"install"}));
  fake().service.elevated = false;
  EXPECT_EQ(1, run({"uninstall"}));
  EXPECT_EQ("agent: uninstall failed: Access is denied.\n", fake().error);
  EXPECT_NE("(none)", registration());
}

}  // namespace
