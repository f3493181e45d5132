#include "platform/platform.h"

#include "platform/service_platform.h"

#include <stdlib.h>

PlatformOps platform;
// Filled by the service launcher alone; no other exe keeps it.
ServicePlatformOps servicePlatform;

void endProcess(int status) {
  platform.exitProcess(status);
  abort();  // an exit that returned is a broken platform table
}
