#include "launch/java_job.h"

#include "common/diagnostics.h"

static void traceNoJob(unsigned long errorCode) {
  debugTraceLine("Java runs without a job (error %lu): it may outlive the launcher\n", errorCode);
}

bool startJavaInJob(char* commandLine, const ProcessStart* start, bool awaitAtConsoleEnd,
                    ProcessHandle* process, JobHandle* job, unsigned long* processId,
                    unsigned long* errorCode) {
  unsigned long jobError = 0;
  if (!*job) *job = platform.createJob(kJobKillOnClose | kJobSilentBreakawayOk, &jobError);
  if (!*job) traceNoJob(jobError);
  ThreadHandle thread = nullptr;
  if (!platform.startSuspendedProcess(commandLine, start, process, &thread, processId, errorCode))
    return false;
  if (*job && !platform.assignToJob(*job, *process, &jobError)) {
    traceNoJob(jobError);
    platform.closeJob(*job);
    *job = nullptr;
  }
  if (awaitAtConsoleEnd) platform.awaitAtConsoleEnd(*process);
  platform.resumeThread(thread);
  return true;
}
