#include "common/program_directory.h"

#include <string.h>

#include "common/diagnostics.h"
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

char* pathInProgramDirectory(const char* path) {
  const char* rest = path[0] == '"' ? path + 1 : path;
  if (rest[0] == '\\' || rest[0] == '/' || (rest[0] && rest[1] == ':')) return nullptr;
  char* directory = programDirectory();
  if (!directory) return nullptr;
  TextBuffer full = {};
  textAppendPart(&full, path, rest - path);
  textAppend(&full, directory);
  textAppendChar(&full, '\\');
  textAppend(&full, rest);
  releaseMemory(directory);
  return textRelease(&full);
}

static const char kProgramDirectoryVariable[] = "EXEDIR";

void setProgramDirectoryVariable(void) {
  if (platform.environmentValue(kProgramDirectoryVariable)) return;
  char* directory = programDirectory();
  if (directory && !platform.setEnvironmentValue(kProgramDirectoryVariable, directory))
    errorLine("Can't set %s=%s\n", kProgramDirectoryVariable, directory);
  releaseMemory(directory);
}

char* workInProgramDirectory(void) {
  char* directory = programDirectory();
  if (!directory) return nullptr;
  platform.changeDirectory(directory);
  setProgramDirectoryVariable();
  return directory;
}
