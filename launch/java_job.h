// Java in a job object: the launcher holds the job's only handle, and the job
// ends its processes when that handle closes, so Java ends with the launcher
// however the launcher ends (End task, a parent or installer that kills it).
// Programs that Java starts are not in the job and live on, as without one.
#ifndef CORVANE_LAUNCH_JAVA_JOB_H
#define CORVANE_LAUNCH_JAVA_JOB_H

#include "platform/platform.h"

// Starts the command as startSuspendedProcess does (handles inherited, the
// rest as start says), held until it is in the job and, when
// awaitAtConsoleEnd asks for it, until the platform holds it to wait for
// when the console closes.
// Where no job can be made, or Java cannot be put into one, Java runs
// without one (a debug trace line says why). *job is the job to close once
// Java has ended, NULL for none. On failure, *errorCode is the system's code
// and no handle is left open.
bool startJavaInJob(char* commandLine, const ProcessStart* start, bool awaitAtConsoleEnd,
                    ProcessHandle* process, JobHandle* job, unsigned long* processId,
                    unsigned long* errorCode);

#endif
