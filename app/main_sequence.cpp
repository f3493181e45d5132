#include "app/main_sequence.h"

#include <string.h>

#include "app/config_location.h"
#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "config/config_file.h"
#include "launch/java_start.h"
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

bool readAppConfig(const char* path, LaunchOutcome* outcome) {
  if (!path) {
    traceLine("no Application config file\n");
    showMessage("Error", kBoxOk, "No Application config file");
    *outcome = kOutcomeNoConfigFile;
    return false;
  }
  debugTraceLine("reading app config %s\n", path);
  debugMessage("Reading App Config file", "[%s]", path);
  return readConfiguration(path, outcome);
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
static bool launchPlanned(LauncherVariant variant, LaunchPlan* plan, LaunchOutcome* outcome) {
  plan->awaitAtConsoleEnd = variant == kConsoleLauncher;
  plan->start = planJavaStart(variant);
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
  if (variant == kConsoleLauncher) errorLine("Already running: %s\n", settings.singleInstance);
  *outcome = kOutcomeAlreadyRunning;
  return false;
}

// The instance is held while Java runs, and given up (also where no Java
// was started) before Java's end is reported.
LaunchOutcome launchConfigured(LauncherVariant variant, JavaRun* run) {
  SingleInstance instance = {};
  LaunchPlan plan = {};
  LaunchOutcome outcome = kOutcomeJavaRefused;
  bool ready = instanceClaimed(variant, &instance, &outcome) && mainClassNamed(&outcome) &&
               javaChosen(variant, &outcome) && launchPlanned(variant, &plan, &outcome);
  if (ready) {
    *run = launchJava(&plan, &instance);
    outcome = run->started ? kOutcomeJavaRan : kOutcomeJavaNotStarted;
  }
  releaseSingleInstance(&instance);
  discardLaunchPlan(&plan);
  if (ready) reportJavaEnd(run, variant);
  return outcome;
}

int runLauncher(LauncherVariant variant, int argc, char** argv) {
  openDiagnostics(variant);
  const char* programName = argc > 0 && argv[0] ? argv[0] : "";
  scanArguments(argc, argv);
  settings.consoleJava = settings.debug || variant == kConsoleLauncher;
  char* bracketedName = settings.debug ? formatText("[%s]", programName) : nullptr;
  debugMessage("Version", CORVANE_VERSION);
  debugMessage("LpCmdLine", "%s", bracketedName);

  setProgramDirectoryVariable();
  settings.pathsFromProgramDirectory = variant == kConsoleLauncher;
  char* configFile = chooseConfigFile(variant, programName);
  LaunchOutcome outcome = kOutcomeNoConfigFile;
  JavaRun run = {};
  if (readAppConfig(configFile, &outcome)) {
    dumpSettings();
    outcome = launchConfigured(variant, &run);
  } else if (outcome == kOutcomeNoConfigFile) {
    debugMessage("LpCmdLine", "%s", bracketedName);
  }
  releaseMemory(configFile);
  releaseMemory(bracketedName);
  return exitStatusFor(variant, outcome, run.exitCode);
}
