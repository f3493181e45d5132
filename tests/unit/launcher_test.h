// Shared fixture: a fresh fake platform and empty settings for every test.
#ifndef CORVANE_TESTS_UNIT_LAUNCHER_TEST_H
#define CORVANE_TESTS_UNIT_LAUNCHER_TEST_H

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_sequence.h"
#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/fake_platform.h"
#include "platform/platform.h"

// The browser's command line on a page, as the fake's system directory makes it.
inline std::string browserCommand(const std::string& page) {
  return "\"C:\\Windows\\system32\\rundll32.exe\" url.dll,FileProtocolHandler \"" + page + "\"";
}

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installFakePlatform();
    resetLaunchSettings();
    openDiagnostics(kGuiLauncher);
  }
  void TearDown() override {
    resetLaunchSettings();
    openDiagnostics(kGuiLauncher);
  }

  // Reads a configuration as the main sequence does, "javaVersion" lookups
  // included: 0 when it was read, else the exit status its outcome gives.
  static int readConfig(const char* path) {
    LaunchOutcome outcome;
    return readConfiguration(path, &outcome) ? 0 : exitStatusFor(kGuiLauncher, outcome, 0);
  }

  static std::vector<std::string> listOf(const TextList& list) {
    return std::vector<std::string>(list.items, list.items + list.count);
  }
  static std::vector<std::string> captions() {
    std::vector<std::string> result;
    for (const auto& box : fake().boxes) result.push_back(box.caption);
    return result;
  }
};

#endif
