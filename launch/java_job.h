// Java in a job object: the launcher holds the job's only handle, and the job
// ends its processes when that handle closes, so Java ends with the launcher
// however the launcher ends (End task, a parent or installer that kills it).
// Programs that Java starts are not in the job and live on, as without one.
#ifndef CORVANE_LAUNCH_JAVA_JOB_H
#define CORVANE_LAUNCH_JAVA_JOB_H

#include "platform/platform.h"

// Starts the command as startProcess does, held until it is in the job;
// with output or error given (a pipe's writer), Java's standard output and
// error are these, standard input the launcher's own.
// Where no job can be made, or Java cannot be put into one, Java runs
// without one (a debug trace line says why). *job is the job to close once
// Java has ended, NULL for none. On failure, *errorCode is the system's code
// and no handle is left open.
bool startJavaInJob(char* commandLine, const char* title, ProcessHandle* process, JobHandle* job,
                    unsigned long* processId, unsigned long* errorCode,
                    PipeHandle output = nullptr, PipeHandle error = nullptr);

#endif
