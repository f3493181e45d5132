#include "app/service_main.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "common/launch_settings.h"
#include "platform/service_platform.h"
#include "service/service_commands.h"
#include "service/service_events.h"
#include "app/service_run.h"
#include "service/service_settings.h"

static int runUnderServiceManager(void) {
  unsigned long error = 0;
  if (servicePlatform.runServiceDispatcher(runService, &error)) return serviceExitStatus();
  if (error == kErrorNotStartedByServiceManager) return serviceUsage();
  tellFailure("The service control manager cannot be reached", error);
  return kExitCommandFailed;
}

int runServiceLauncher(int argc, char** argv) {
  openDiagnostics(kServiceLauncher);
  addServiceKeys();
  settings.consoleJava = true;
  const char* command = nullptr;
  bool moreArguments = false;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "-d") == 0)
      settings.debug = true;
    else if (!command)
      command = argv[i];
    else
      moreArguments = true;
  }
  if (!command) return runUnderServiceManager();
  return moreArguments ? serviceUsage() : runServiceCommand(command);
}
