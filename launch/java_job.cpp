#include "launch/java_job.h"

#include "common/diagnostics.h"

static void traceNoJob(unsigned long errorCode) {
  debugTraceLine("Java runs without a job (error %lu): it may outlive the launcher\n", errorCode);
}

bool startJavaInJob(char* commandLine, const char* title, bool awaitAtConsoleEnd,
                    ProcessHandle* process, JobHandle* job, unsigned long* processId,
                    unsigned long* errorCode, PipeHandle output, PipeHandle error) {
  unsigned long jobError = 0;
  if (!*job) *job = platform.createJob(kJobKillOnClose | kJobSilentBreakawayOk, &jobError);
  if (!*job) traceNoJob(jobError);
  ThreadHandle thread = nullptr;
  bool started = output || error
                     ? platform.startSuspendedProcessWithOutput(commandLine, title, output, error,
                                                                process, &thread, processId,
                                                                errorCode)
                     : platform.startSuspendedProcess(commandLine, title, process, &thread,
                                                      processId, errorCode);
  if (!started)
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
