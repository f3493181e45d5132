#include "service/java_stop.h"

#include "common/diagnostics.h"
#include "platform/service_platform.h"
#include "service/service_events.h"
#include "service/service_status.h"

// How long the launcher waits for Java once its job or process was ended.
static const unsigned long kEndedWithinMilliseconds = 5000;

static bool interruptJava(void) {
  unsigned long error = 0;
  if (servicePlatform.interruptConsole(&error)) return true;
  tellFailure("Ctrl+C cannot be sent to Java", error);
  return false;
}

static bool javaEndsWithin(ProcessHandle process, unsigned long timeoutSeconds) {
  for (unsigned long second = 0; second < timeoutSeconds; ++second) {
    if (servicePlatform.waitForExitWithin(process, 1000)) return true;
    reportServicePending(kServiceStopPending, kStopWaitHint);
  }
  return false;
}

static void endJava(const StartedJava* java, JobHandle job) {
  unsigned long error = 0;
  bool ended = job ? servicePlatform.terminateJob(job, &error)
                         : servicePlatform.terminateProcess(java->process, &error);
  if (ended)
    servicePlatform.waitForExitWithin(java->process, kEndedWithinMilliseconds);
  else
    tellFailure("Java cannot be ended", error);
}

void stopJava(const StartedJava* java, JobHandle job, bool consoleShared,
              unsigned long timeoutSeconds) {
  reportServicePending(kServiceStopPending, kStopWaitHint);
  bool asked = consoleShared && interruptJava();
  if (asked) errorLine("Ctrl+C sent to Java, which has %lu seconds to end\n", timeoutSeconds);
  if (asked && javaEndsWithin(java->process, timeoutSeconds)) return;
  if (asked)
    errorLine("Java has not ended within %lu seconds: ending it\n", timeoutSeconds);
  else
    errorLine("Java cannot be asked to end: ending it\n");
  reportServicePending(kServiceStopPending, kStopWaitHint);
  endJava(java, job);
}
