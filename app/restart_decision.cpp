#include "app/restart_decision.h"

// A decimal number of up to 32 bits, maybe negative; false for anything else.
static bool readStatus(const char* text, unsigned long* status) {
  bool negative = *text == '-';
  const char* digit = text + (negative ? 1 : 0);
  unsigned long long value = 0;
  for (; *digit >= '0' && *digit <= '9' && value <= 0xFFFFFFFFull; ++digit)
    value = value * 10 + (unsigned long long)(*digit - '0');
  bool valid = *digit == '\0' && digit > text + (negative ? 1 : 0) &&
               value <= (negative ? 0x80000000ull : 0xFFFFFFFFull);
  *status = (unsigned long)((negative ? 0x100000000ull - value : value) & 0xFFFFFFFFull);
  return valid;
}

static bool isRestartCode(const TextList* codes, unsigned long exitCode) {
  unsigned long code = 0;
  for (int i = 0; codes && i < codes->count; ++i)
    if (readStatus(codes->items[i], &code) && code == exitCode) return true;
  return false;
}

RestartChoice chooseRestart(const RestartRules* rules, const JavaRun* run,
                            unsigned long ranMilliseconds, int* failures) {
  if (!run->started || !run->exitCodeKnown) return kRestartNone;
  if (isRestartCode(rules->restartCodes, run->exitCode)) return kRestartAtOnce;
  unsigned long allowed = 0;
  if (run->exitCode == 0 || run->interrupted || !rules->restartOnFailure ||
      !readStatus(rules->restartOnFailure, &allowed) || *rules->restartOnFailure == '-')
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
