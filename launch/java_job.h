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
// when the console closes. The job is *job, or, when that is NULL, one made
// now and handed back in *job, to be kept for the Java started after this
// one (a restart) and closed once the last has ended. Where no job can be
// made, or Java cannot be put into one, Java runs without one (a debug trace
// line says why) and *job is NULL. On failure, *errorCode is the system's
// code and no process handle is open.
bool startJavaInJob(char* commandLine, const ProcessStart* start, bool awaitAtConsoleEnd,
                    ProcessHandle* process, JobHandle* job, unsigned long* processId,
                    unsigned long* errorCode);

#endif
