// Fixture of the service launcher's tests: agent.exe in C:\Services\Agent,
// run with the arguments a test gives, against the fake service manager.
#ifndef CORVANE_TESTS_UNIT_SERVICE_TEST_H
#define CORVANE_TESTS_UNIT_SERVICE_TEST_H

#include <algorithm>

#include "app/service_main.h"
#include "launcher_test.h"
#include "platform/fake_files.h"
#include "service/service_settings.h"
#include "support/java_homes.h"

class ServiceTest : public LauncherTest {
 public:
  static constexpr const char* kExe = "C:\\Services\\Agent\\agent.exe";
  static constexpr const char* kLog = "C:\\Services\\Agent\\agent.log";
  static constexpr const char* kJava = "C:\\Java\\jdk-17\\bin\\java.exe";
  static constexpr const char* kEventSource =
      "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\agent";

 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    resetServiceSettings();
    startAfresh();
  }
  // A fresh fake: agent.exe, and a Java 17 at kJava.
  static void startAfresh() {
    installFakePlatform();
    fake().programPath = kExe;
    fakeInstallJava("C:\\Java\\jdk-17", 64, "17.0.9");
  }
  void TearDown() override {
    resetServiceSettings();
    LauncherTest::TearDown();
  }

  static void configure(const std::string& text) {
    fakeAddFile("C:\\Services\\Agent\\agent.config", text);
  }
  // Runs agent.exe with these arguments; the settings start afresh.
  static int run(std::vector<std::string> arguments) {
    resetLaunchSettings();
    resetServiceSettings();
    fake().error.clear();
    arguments.insert(arguments.begin(), kExe);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    return runServiceLauncher((int)argv.size(), argv.data());
  }
  // The log's lines, each line break without its CR.
  static std::string log() {
    std::string lines;
    for (char c : fake().files[fakeNormalizePath(kLog)])
      if (c != '\r') lines += c;
    return lines;
  }
  // The events of the fake whose text starts with one of these words.
  static std::vector<std::string> eventsOf(std::vector<std::string> words) {
    std::vector<std::string> chosen;
    for (const std::string& event : fake().events)
      if (std::any_of(words.begin(), words.end(),
                      [&](const std::string& word) { return event.rfind(word, 0) == 0; }))
        chosen.push_back(event);
    return chosen;
  }
  static int leftOpen() {
    const FakeState& left = fake();
    return left.openFiles + left.openRegistryKeys + left.openProcesses + left.openThreads +
           left.openJobs + left.openInstanceMarks + left.openPipeEnds + left.openWorkers +
           left.openLocks + left.openAppendFiles + fakeServiceOpenCount();
  }
};

#endif
