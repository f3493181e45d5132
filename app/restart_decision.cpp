#include "app/restart_decision.h"

#include "common/text.h"

static bool isRestartCode(const TextList* codes, unsigned long exitCode) {
  unsigned long code = 0;
  for (int i = 0; codes && i < codes->count; ++i)
    if (parseWholeNumber(codes->items[i], &code) && code == exitCode) return true;
  return false;
}

RestartChoice chooseRestart(const RestartRules* rules, const JavaRun* run,
                            unsigned long ranMilliseconds, int* failures) {
  if (!run->started || !run->exitCodeKnown || run->stopRequested) return kRestartNone;
  if (isRestartCode(rules->restartCodes, run->exitCode)) return kRestartAtOnce;
  unsigned long allowed = 0;
  if (run->exitCode == 0 || run->interrupted || !rules->restartOnFailure ||
      !parseWholeNumber(rules->restartOnFailure, &allowed) || *rules->restartOnFailure == '-')
    return kRestartNone;
  if (ranMilliseconds >= kSteadyRunMilliseconds) *failures = 0;
  if ((unsigned long)*failures >= allowed) return kRestartNone;
  ++*failures;
  return kRestartAfterWait;
}

unsigned long restartWait(int failures) {
  unsigned long wait = 1000;
  for (int i = 1; i < failures && wait < kLongestRestartWait; ++i) wait *= 2;
  return wait < kLongestRestartWait ? wait : kLongestRestartWait;
}
