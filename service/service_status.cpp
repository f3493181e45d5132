#include "service/service_status.h"

#include "common/diagnostics.h"
#include "platform/service_platform.h"

static ServiceStatusHandle status;
static unsigned long checkPoint;

bool connectServiceStatus(void) {
  unsigned long error = 0;
  status = servicePlatform.registerServiceHandler(&error);
  if (!status) errorLine("The service cannot report its status (error %lu)\n", error);
  checkPoint = 0;
  return status != nullptr;
}

static void report(ServiceStatusReport report) {
  unsigned long error = 0;
  if (status && !servicePlatform.reportServiceStatus(status, &report, &error))
    errorLine("The service's status could not be reported (error %lu)\n", error);
}

void reportServicePending(unsigned long state, unsigned long waitHint) {
  report({state, 0, 0, ++checkPoint, waitHint});
}

void reportServiceRunning(void) {
  checkPoint = 0;
  report({kServiceRunning, 0, 0, 0, 0});
}

void reportServiceStopped(ServiceEnd end) {
  report({kServiceStopped, end.win32ExitCode, end.specificExitCode, 0, 0});
  status = nullptr;
}
