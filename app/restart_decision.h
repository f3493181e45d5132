// Whether Java starts again once it has ended, and after how long: pure
// decisions on Java's end, the configuration's rules and the failures so far.
#ifndef CORVANE_APP_RESTART_DECISION_H
#define CORVANE_APP_RESTART_DECISION_H

#include "common/launch_settings.h"
#include "launch/launch_java.h"

// A run of at least this long starts the count of failures in a row again.
static const unsigned long kSteadyRunMilliseconds = 5 * 60 * 1000;
static const unsigned long kLongestRestartWait = 60 * 1000;

enum RestartChoice {
  kRestartNone,        // Java's end is the launcher's end
  kRestartAtOnce,      // Java asked for it with a "restartCode" status
  kRestartAfterWait,   // Java failed: again after a wait, within "restartOnFailure"
};

// The rules as the configuration wrote them: "restartCode" lines (decimal,
// a negative one standing for the status Windows shows as its 32-bit
// complement) and "restartOnFailure"'s count. A value that is no number
// asks for nothing.
struct RestartRules {
  const TextList* restartCodes;
  const char* restartOnFailure;
};

// For a Java that ended after running ranMilliseconds; *failures counts the
// restarts after failures in a row, and is updated. Java that did not start,
// or whose end or status was not seen, or that a stop of the service ended,
// is never started again; nor is one that the user stopped with Ctrl+C
// after a failure: its status is no failure to retry.
RestartChoice chooseRestart(const RestartRules* rules, const JavaRun* run,
                            unsigned long ranMilliseconds, int* failures);

// The wait before the failures-th restart after a failure in a row (from
// 1): 1, 2, 4 ... seconds, at most kLongestRestartWait.
unsigned long restartWait(int failures);

#endif
