// The service's log, a file beside the exe (<service name>.log): the
// launcher's own lines, each after its date and time, and Java's standard
// output and error as Java writes them. The launcher's standard output and
// error, where its diagnostics go, are this log while it runs as a service.
//
// This is the one seam between the service and its log file: where the log
// is (serviceLogPath), how it is opened and written, and how Java's output
// reaches it (giveJavaTheLog, which today hands Java the file itself).
#ifndef CORVANE_SERVICE_SERVICE_LOG_H
#define CORVANE_SERVICE_SERVICE_LOG_H

// directory\name.log (heap text).
char* serviceLogPath(const char* directory, const char* name);

// From now on the launcher's standard output and error go into the log;
// what comes before it is open is kept (up to a few kilobytes) and goes in
// first.
void routeDiagnosticsToServiceLog(void);
// Opens the log at path for appending; false with the system's error code.
bool openServiceLog(const char* path, unsigned long* error);
// Writes part of the launcher's lines: each line begins with its date and time.
void writeServiceLog(const char* text);
// Java's standard output and error go into the log (nothing when it is not open).
void giveJavaTheLog(void);
// Drops what is kept, and closes the log.
void closeServiceLog(void);

#endif
