#include "app/config_location.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "platform/platform.h"

char* configPathIn(const char* directory, const char* programName) {
  static const char kSuffix[] = ".config";
  const char* lastBackslash = strrchr(programName, '\\');
  const char* baseName = lastBackslash ? lastBackslash + 1 : programName;
  size_t directoryLength = strlen(directory), baseLength = strlen(baseName);
  if (baseLength >= 4 && strcmp(baseName + baseLength - 4, ".exe") == 0) baseLength -= 4;
  size_t size = directoryLength + 1 + baseLength + sizeof kSuffix;
  char* path = static_cast<char*>(platform.allocate(size));
  if (!path) return nullptr;
  memcpy(path, directory, directoryLength);
  path[directoryLength] = '\\';
  memcpy(path + directoryLength + 1, baseName, baseLength);
  memcpy(path + directoryLength + 1 + baseLength, kSuffix, sizeof kSuffix);
  return path;
}

static bool isFullPath(const char* programName) {
  bool onDrive = programName[0] && programName[1] == ':' && strchr(programName, '\\');
  return onDrive || (programName[0] == '\\' && programName[1] == '\\');
}

// "" when it cannot be read: the configuration is then looked for at the
// current drive's root.
static char* currentDirectoryOrRoot(void) {
  char* directory = platform.currentDirectory();
  return directory ? directory : copyText("");
}

static bool canOpen(const char* path) {
  const char* errorText = "";
  FileHandle file = platform.openFile(path, &errorText);
  if (file) platform.closeFile(file);
  return file != nullptr;
}

// The configuration named after the exe, beside it; *directory is the exe's
// directory. NULL (and no directory) when the exe's path cannot be read.
static char* configBesideProgram(char** directory) {
  char* program = platform.programPath();
  const char* lastBackslash = program ? strrchr(program, '\\') : nullptr;
  *directory = lastBackslash ? copyTextPart(program, lastBackslash - program) : nullptr;
  char* path = *directory ? configPathIn(*directory, program) : nullptr;
  releaseMemory(program);
  return path;
}

// Started by a bare name or a relative path, the GUI launcher reads the
// configuration in the current directory, and failing that the one beside
// its exe, where it then works.
static char* guiConfigFromElsewhere(const char* programName, char** directory) {
  *directory = currentDirectoryOrRoot();
  char* path = configPathIn(*directory, programName);
  if (!path || canOpen(path)) return path;
  char* programDirectory = nullptr;
  char* besideProgram = configBesideProgram(&programDirectory);
  if (!besideProgram) return path;
  platform.changeDirectory(programDirectory);
  releaseMemory(path);
  releaseMemory(*directory);
  *directory = programDirectory;
  return besideProgram;
}

char* locateConfigFile(LauncherVariant variant, const char* programName) {
  char* directory = nullptr;
  char* path = nullptr;
  if (variant == kConsoleLauncher) {
    path = configBesideProgram(&directory);
    releaseMemory(directory);
    directory = settings.debug ? currentDirectoryOrRoot() : nullptr;
  } else if (isFullPath(programName) && (directory = programDirectory())) {
    platform.changeDirectory(directory);
    path = configPathIn(directory, programName);
  } else {
    path = guiConfigFromElsewhere(programName, &directory);
  }
  debugMessage("CWD", "%s", directory);
  releaseMemory(directory);
  return path;
}
