// How the service ends its Java when it is stopped: Ctrl+C on the console
// Java shares, so that its shutdown hooks run and it closes its files; then,
// if it has not ended within the stop timeout, its job.
#ifndef CORVANE_SERVICE_JAVA_STOP_H
#define CORVANE_SERVICE_JAVA_STOP_H

#include "launch/launch_java.h"

// Reports stop pending (its checkpoint rising each second of the wait),
// sends Ctrl+C when Java shares the launcher's console, waits up to
// timeoutSeconds for Java to end, and ends its job (or, without one, its
// process) when it has not. Each step that fails says so in the log.
void stopJava(const StartedJava* java, JobHandle job, bool consoleShared,
              unsigned long timeoutSeconds);

#endif
