#include "app/restart_decision.h"

#include "launcher_test.h"

namespace {

class RestartDecisionTest : public LauncherTest {};

struct RestartCase {
  const char* what;
  std::vector<const char*> codes;
  const char* onFailure;
  JavaRun run;
  unsigned long ranMilliseconds;
  int failuresBefore;
  RestartChoice choice;
  int failuresAfter;
};

const JavaRun kEnded(unsigned long code) { return {true, true, false, code}; }
const JavaRun kInterrupted(unsigned long code) { return {true, true, true, code}; }

TEST_F(RestartDecisionTest, JavaStartsAgainOnlyAsTheRulesAsk) {
  const RestartCase cases[] = {
      {"no rules", {}, nullptr, kEnded(3), 10, 0, kRestartNone, 0},
      {"a restart code", {"3"}, nullptr, kEnded(3), 10, 0, kRestartAtOnce, 0},
      {"one of several", {"2", "3"}, nullptr, kEnded(3), 10, 2, kRestartAtOnce, 2},
      {"another status", {"3"}, nullptr, kEnded(4), 10, 0, kRestartNone, 0},
      {"a negative code is the 32-bit complement", {"-1"}, nullptr, kEnded(0xFFFFFFFF), 10, 0,
       kRestartAtOnce, 0},
      {"a code that is no number", {"3x", "", "4294967296"}, nullptr, kEnded(3), 10, 0,
       kRestartNone, 0},
      {"a failure", {}, "3", kEnded(1), 10, 0, kRestartAfterWait, 1},
      {"the last failure allowed", {}, "3", kEnded(1), 10, 2, kRestartAfterWait, 3},
      {"one failure too many", {}, "3", kEnded(1), 10, 3, kRestartNone, 3},
      {"a failure after five minutes counts from 1 again", {}, "3", kEnded(1), 300000, 3,
       kRestartAfterWait, 1},
      {"a failure just short of that does not", {}, "3", kEnded(1), 299999, 3, kRestartNone, 3},
      {"success ends it", {}, "3", kEnded(0), 10, 1, kRestartNone, 1},
      {"a restart code before failures", {"1"}, "3", kEnded(1), 10, 3, kRestartAtOnce, 3},
      {"restartOnFailure 0", {}, "0", kEnded(1), 10, 0, kRestartNone, 0},
      {"restartOnFailure that is no count", {}, "-2", kEnded(1), 10, 0, kRestartNone, 0},
      {"Java that did not start", {"3"}, "3", {false, false, false, 3}, 0, 0, kRestartNone, 0},
      {"Java whose end was not seen", {"259"}, "3", {true, false, false, 259}, 10, 0, kRestartNone, 0},
      {"a failure the user asked for with Ctrl+C", {}, "3", kInterrupted(130), 10, 0, kRestartNone, 0},
      {"a restart code still restarts", {"130"}, "3", kInterrupted(130), 10, 0, kRestartAtOnce, 0},
      {"not after a stop of the service", {"1"}, "3", {true, true, false, 1, nullptr, true}, 10, 0,
       kRestartNone, 0},
  };
  for (const RestartCase& c : cases) {
    TextList codes = {};
    for (const char* code : c.codes) appendSetting(&codes, code);
    RestartRules rules = {&codes, c.onFailure};
    int failures = c.failuresBefore;
    EXPECT_EQ(c.choice, chooseRestart(&rules, &c.run, c.ranMilliseconds, &failures)) << c.what;
    EXPECT_EQ(c.failuresAfter, failures) << c.what;
    clearTextList(&codes);
  }
}

TEST_F(RestartDecisionTest, WaitsDoubleFromOneSecondUpToAMinute) {
  const unsigned long waits[] = {1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000};
  for (int failures = 1; failures <= 8; ++failures)
    EXPECT_EQ(waits[failures - 1], restartWait(failures)) << failures;
  EXPECT_EQ(60000ul, restartWait(1000));
}

}  // namespace
