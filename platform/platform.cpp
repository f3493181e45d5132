#include "platform/platform.h"

#include <stdlib.h>

PlatformOps platform;

void endProcess(int status) {
  platform.exitProcess(status);
  abort();  // an exit that returned is a broken platform table
}
