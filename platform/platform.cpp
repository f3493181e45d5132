#include "platform/platform.h"

PlatformOps platform;

void endProcess(int status) {
  platform.exitProcess(status);
  __builtin_trap();  // an exit that returned is a broken platform table
}
