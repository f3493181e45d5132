#include "common/program_directory.h"

#include <string.h>

#include "common/text.h"
#include "platform/platform.h"

char* programDirectory(void) {
  char* path = platform.programPath();
  char* lastBackslash = path ? strrchr(path, '\\') : nullptr;
  if (!lastBackslash) {
    releaseMemory(path);
    return nullptr;
  }
  *lastBackslash = '\0';
  return path;
}
