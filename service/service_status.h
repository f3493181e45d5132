// The running service's reports to the service control manager. The
// checkpoint of a pending state rises with each report, so that the
// manager (and whoever waits on it) sees the start or stop go on.
#ifndef CORVANE_SERVICE_SERVICE_STATUS_H
#define CORVANE_SERVICE_SERVICE_STATUS_H

// How long a pending state may go without a new report.
enum : unsigned long {
  kStartWaitHint = 30000,
  kStopWaitHint = 5000,
};

// Registers the service's handler; false (with a log line) when it cannot
// be, and then nothing can be reported.
bool connectServiceStatus(void);
// kServiceStartPending or kServiceStopPending, with the next checkpoint.
void reportServicePending(unsigned long state, unsigned long waitHint);
// Running: stop and pre-shutdown are taken from now on.
void reportServiceRunning(void);
// Stopped, with ERROR_SERVICE_SPECIFIC_ERROR and its code, or 0 and 0.
void reportServiceStopped(unsigned long win32ExitCode, unsigned long specificExitCode);

#endif
