#include "platform/platform.h"

#include "platform/service_platform.h"

PlatformOps platform;
// Filled by the service launcher alone; no other exe keeps it.
ServicePlatformOps servicePlatform;

void endProcess(int status) {
  platform.exitProcess(status);
  __builtin_trap();  // an exit that returned is a broken platform table
}
