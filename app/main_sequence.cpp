#include "app/main_sequence.h"

#include <string.h>

#include "common/diagnostics.h"
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
// cannot be read, it stays where it was started. Returns the directory
// (heap text, the caller's).
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
  return directory;
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

// The read stops at each "javaVersion" line for the lookup, then goes on.
bool readConfiguration(const char* path, LaunchOutcome* outcome) {
  ConfigReading reading;
  ConfigRead read = readConfigFile(&reading, path);
  while (read == kConfigAtJavaVersion) {
    char* executable = nullptr;
    JavaLookup found = findJavaForVersion(&executable);
    if (found == kJavaFound && textIsEmpty(executable)) found = kJavaNotFound;
    if (found != kJavaFound) {
      releaseMemory(executable);
      abandonConfigRead(&reading);
      *outcome = found == kJavaMissing ? kOutcomeJavaMissing : kOutcomeNoJavaForVersion;
      return false;
    }
    useLocatedJava(executable);
    releaseMemory(executable);
    read = continueConfigRead(&reading);
  }
  *outcome = kOutcomeNoConfigFile;
  return read == kConfigReadWhole;
}

bool locateConfigFile(char* programName, const char* directory, LaunchOutcome* outcome) {
  const char* lastBackslash = strrchr(programName, '\\');
  char* baseName = lastBackslash ? (char*)lastBackslash + 1 : programName;
  size_t length = strlen(baseName);
  if (length >= 4 && strcmp(baseName + length - 4, ".exe") == 0) baseName[length - 4] = '\0';

  char* path = configPath(directory, baseName);
  if (!path) {
    traceLine("no Application config file\n");
    showMessage("Error", kBoxOk, "No Application config file");
    *outcome = kOutcomeNoConfigFile;
    return false;
  }
  debugTraceLine("reading app config %s\n", path);
  debugMessage("Reading App Config file", "[%s]", path);
  bool read = readConfiguration(path, outcome);
  releaseMemory(path);
  return read;
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

// Without a main class nothing is looked up.
static bool mainClassNamed(LaunchOutcome* outcome) {
  if (settings.mainclass) return true;
  showMessage("Error", kBoxIconError, "No main class is named in the configuration");
  *outcome = kOutcomeJavaRefused;
  return false;
}

static bool javaChosen(LauncherVariant variant, LaunchOutcome* outcome) {
  JavaLookup chosen = chooseJava();
  *outcome = chosen == kJavaMissing ? kOutcomeJavaMissing : kOutcomeNoJava;
  if (chosen != kJavaFound) return false;
  if (variant == kConsoleLauncher) platform.outliveConsoleInterrupts();
  return true;
}

// The command line, through an argument file when it is too long for
// Windows and the Java reads one.
static bool launchPlanned(LaunchPlan* plan, LaunchOutcome* outcome) {
  LinePlan line = planCommandLine(plan);
  if (line == kLineTooLong)
    line = javaTakesArgumentFile() ? planArgumentFile(plan) : refuseLineForOldJava(plan);
  *outcome = kOutcomeJavaRefused;
  return line == kLineReady;
}

// The running application's windows come to the front; a command-line
// tool's caller also gets a line.
static bool instanceClaimed(LauncherVariant variant, SingleInstance* instance,
                            LaunchOutcome* outcome) {
  if (claimSingleInstance(instance)) return true;
  bringRunningInstanceForward(instance);
  if (variant != kGuiLauncher) errorLine("Already running: %s\n", settings.singleInstance);
  *outcome = kOutcomeAlreadyRunning;
  return false;
}

// The instance is held while Java runs, and given up (also where no Java
// was started) before Java's end is reported. Always inlined, so that each
// exe's launch calls its runner directly and carries one copy of this.
__attribute__((always_inline)) static inline LaunchOutcome launchWith(LauncherVariant variant,
                                                                      JavaRunner runJava,
                                                                      JavaRun* run) {
  SingleInstance instance = {};
  LaunchPlan plan = {};
  LaunchOutcome outcome = kOutcomeJavaRefused;
  bool ready = instanceClaimed(variant, &instance, &outcome) && mainClassNamed(&outcome) &&
               javaChosen(variant, &outcome) && launchPlanned(&plan, &outcome);
  if (ready) {
    *run = runJava(&plan, &instance);
    outcome = run->started ? kOutcomeJavaRan : kOutcomeJavaNotStarted;
  }
  releaseSingleInstance(&instance);
  discardLaunchPlan(&plan);
  if (ready) reportJavaEnd(run, variant);
  return outcome;
}

LaunchOutcome launchConfigured(LauncherVariant variant, JavaRun* run) {
  return launchWith(variant, launchJava, run);
}

LaunchOutcome launchConfiguredWith(LauncherVariant variant, JavaRunner runJava, JavaRun* run) {
  return launchWith(variant, runJava, run);
}

int runLauncher(LauncherVariant variant, int argc, char** argv) {
  openDiagnostics(variant);
  char* programName = copyText(argc > 0 && argv[0] ? argv[0] : "");
  scanArguments(argc, argv);
  settings.consoleJava = settings.debug || variant == kConsoleLauncher;
  char* bracketedName = settings.debug ? formatText("[%s]", programName) : nullptr;
  debugMessage("Version", CORVANE_VERSION);
  debugMessage("LpCmdLine", "%s", bracketedName);

  char* directory = fixWorkingDirectory(programName);
  LaunchOutcome outcome = kOutcomeNoConfigFile;
  JavaRun run = {};
  if (locateConfigFile(programName, directory, &outcome)) {
    dumpSettings();
    outcome = launchConfigured(variant, &run);
  } else if (outcome == kOutcomeNoConfigFile) {
    debugMessage("LpCmdLine", "%s", bracketedName);
  }
  releaseMemory(directory);
  releaseMemory(bracketedName);
  releaseMemory(programName);
  return exitStatusFor(variant, outcome, run.exitCode);
}
