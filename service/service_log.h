// The service's log: Java's log (javaLog, rotating as its keys say), by
// default a file beside the exe (<service name>.log). It holds the
// launcher's own lines, each after its date and time, and Java's standard
// output and error as Java writes them. The launcher's standard output and
// error, where its diagnostics go, are this log while it runs as a service.
#ifndef CORVANE_SERVICE_SERVICE_LOG_H
#define CORVANE_SERVICE_SERVICE_LOG_H

#include "launch/java_log.h"

// The "javaLog" path when the configuration names one (relative to the
// exe's directory), else directory\name.log (heap text).
char* serviceLogPath(const char* directory, const char* name);

// From now on the launcher's standard output and error go into the log;
// what comes before it is open is kept (up to a few kilobytes) and goes in
// first.
void routeDiagnosticsToServiceLog(void);
// Opens the log at path for appending, rotating as "javaLogSize" and
// "javaLogKeep" say; false with the system's error code.
bool openServiceLog(const char* path, unsigned long* error);
// Writes part of the launcher's lines: each line begins with its date and time.
void writeServiceLog(const char* text);
// The open log, for Java's output to go into (NULL when it is not open).
JavaLog* serviceJavaLog(void);
// Drops what is kept, and closes the log.
void closeServiceLog(void);

#endif
