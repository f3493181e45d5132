#include "app/main_sequence.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "config/config_file.h"
#include "launch/launch_java.h"
#include "launch/single_instance.h"
#include "platform/platform.h"
#include "runtime/argument_file_support.h"
#include "runtime/java_choice.h"
#include "runtime/java_location.h"

static void scanArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "-d") == 0)
      settings.debug = true;
    else
      appendSetting(&settings.arguments, argv[i]);
  }
}

// Started with a full path (a drive letter, a colon and a backslash), the
// launcher works in its own directory; otherwise, or when that directory
// cannot be read, it stays where it was started.
static char* fixWorkingDirectory(const char* programName) {
  bool fullPath = programName[0] && programName[1] == ':' && strchr(programName, '\\');
  char* directory = fullPath ? programDirectory() : nullptr;
  if (directory) {
    platform.changeDirectory(directory);
  } else {
    directory = platform.currentDirectory();
    if (!directory) directory = copyText("");
  }
  debugMessage("CWD", "%s", directory);
  return keepUntilExit(directory);
}

// directory + "\\" + baseName + ".config", or NULL when there is no memory for it.
static char* configPath(const char* directory, const char* baseName) {
  static const char kSuffix[] = ".config";
  size_t directoryLength = strlen(directory), baseLength = strlen(baseName);
  size_t size = directoryLength + 1 + baseLength + sizeof kSuffix;
  char* path = static_cast<char*>(platform.allocate(size));
  if (!path) return nullptr;
  memcpy(path, directory, directoryLength);
  path[directoryLength] = '\\';
  memcpy(path + directoryLength + 1, baseName, baseLength);
  memcpy(path + directoryLength + 1 + baseLength, kSuffix, sizeof kSuffix);
  return path;
}

int locateConfigFile(char* programName, const char* directory) {
  const char* lastBackslash = strrchr(programName, '\\');
  char* baseName = lastBackslash ? (char*)lastBackslash + 1 : programName;
  size_t length = strlen(baseName);
  if (length >= 4 && strcmp(baseName + length - 4, ".exe") == 0) baseName[length - 4] = '\0';

  char* path = configPath(directory, baseName);
  if (!path) {
    traceLine("no Application config file\n");
    showMessage("Error", kBoxOk, "No Application config file");
    return 1;
  }
  keepUntilExit(path);
  debugTraceLine("reading app config %s\n", path);
  debugMessage("Reading App Config file", "[%s]", path);
  return readConfigFile(path) == 0 ? 0 : 1;
}

static void dumpSettings(void) {
  if (!settings.debug) return;
  debugMessage("MainClass is", "%s", settings.mainclass ? settings.mainclass : "");
  for (int i = 0; i < settings.vmparam.count; ++i)
    traceLine("vmparam %d=%s\n", i, settings.vmparam.items[i]);
  for (int i = 0; i < settings.vmpath.count; ++i)
    traceLine("vmpath %d=%s\n", i, settings.vmpath.items[i]);
  for (int i = 0; i < settings.vmjars.count; ++i)
    traceLine("vmjars %d=%s\n", i, settings.vmjars.items[i]);
}

// True when the configuration named a main class; otherwise says so.
static bool mainClassNamed(void) {
  if (settings.mainclass) return true;
  showMessage("Error", kBoxIconError, "No main class is named in the configuration");
  return false;
}

// A main class first (without one nothing is looked up), then the Java that
// runs, then the start.
static LaunchEnd launch(unsigned long* exitCode) {
  if (!mainClassNamed()) return kJavaRefused;
  if (!chooseJava()) return kNoJavaChosen;
  if (settings.console) platform.outliveConsoleInterrupts();
  return launchJava(exitCode);
}

// The GUI launcher ends with 0 once the launch step has run, whatever it did.
// The console launcher ends with Java's own exit code, exactly as the system
// gives it, or says why no Java was started.
static int statusAfterLaunch(LaunchEnd end, unsigned long exitCode) {
  if (!settings.console) return kExitLaunchRan;
  switch (end) {
    case kJavaRan:
      return (int)exitCode;
    case kNoJavaChosen:
      return kExitNoJava;
    case kJavaStartFailed:
      return kExitJavaNotStarted;
    case kJavaRefused:
      break;
  }
  return kExitJavaRefused;
}

int runLauncher(int argc, char** argv) {
  setJavaVersionLookup(findJavaForVersion);
  setArgumentFileCheck(javaTakesArgumentFile);
  char* programName = keepUntilExit(copyText(argc > 0 && argv[0] ? argv[0] : ""));
  scanArguments(argc, argv);

  char* bracketedName = nullptr;
  if (settings.debug) {
    bracketedName = keepUntilExit(formatText("[%s]", programName));
    debugMessage("Version", CORVANE_VERSION);
    debugMessage("LpCmdLine", "%s", bracketedName);
  }

  char* directory = fixWorkingDirectory(programName);
  if (locateConfigFile(programName, directory) != 0) {
    debugMessage("LpCmdLine", "%s", bracketedName);
    return kExitNoConfigFile;
  }
  dumpSettings();
  if (!claimSingleInstance()) return alreadyRunningOutcome();
  unsigned long exitCode = 0;
  LaunchEnd end = launch(&exitCode);
  releaseSingleInstance();  // also where no Java was started
  return statusAfterLaunch(end, exitCode);
}
