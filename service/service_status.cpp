#include "service/service_status.h"

#include "common/diagnostics.h"
#include "platform/service_platform.h"
#include "service/service_events.h"

static const char kNotReported[] = "The service's status cannot be reported";

static ServiceStatusHandle status;
static unsigned long checkPoint;

bool connectServiceStatus(void) {
  unsigned long error = 0;
  status = servicePlatform.registerServiceHandler(&error);
  if (!status) tellFailure(kNotReported, error);
  checkPoint = 0;
  return status != nullptr;
}

static void report(ServiceStatusReport report) {
  unsigned long error = 0;
  if (status && !servicePlatform.reportServiceStatus(status, &report, &error))
    tellFailure(kNotReported, error);
}

void reportServicePending(unsigned long state, unsigned long waitHint) {
  report({state, 0, 0, ++checkPoint, waitHint});
}

void reportServiceRunning(void) {
  checkPoint = 0;
  report({kServiceRunning, 0, 0, 0, 0});
}

void reportServiceStopped(unsigned long win32ExitCode, unsigned long specificExitCode) {
  report({kServiceStopped, win32ExitCode, specificExitCode, 0, 0});
  status = nullptr;
}
