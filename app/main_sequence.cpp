#include "app/main_sequence.h"

#include <string.h>

#include "app/restart_decision.h"
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
#include "update/staged_update.h"

// An argument its caller quoted reaches Java quoted; "argument" lines, read
// later, count as unquoted.
static void scanArguments(int argc, char** argv, const bool* quoted) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "-d") == 0) {
      settings.debug = true;
      continue;
    }
    appendSetting(&settings.arguments, argv[i]);
    if (quoted && quoted[i]) quoteArgument(settings.arguments.count - 1);
  }
  settings.commandLineArguments = settings.arguments.count;
}

// The read stops at each "javaVersion" line for the lookup, then goes on.
bool readConfiguration(const char* path, LaunchOutcome* outcome) {
  ConfigReading reading;
  ConfigRead read = readConfigFile(&reading, path);
  while (read == kConfigAtJavaVersion) {
    char* executable = nullptr;
    JavaLookup found = findJavaForVersion(&executable);
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
  static const char* const names[] = {"vmparam", "vmpath", "vmjars"};
  static const TextList* const lists[] = {&settings.vmparam, &settings.vmpath, &settings.vmjars};
  for (int list = 0; list < 3; ++list)
    for (int i = 0; i < lists[list]->count; ++i)
      traceLine("%s %d=%s\n", names[list], i, lists[list]->items[i]);
}

// Without a main class nothing is looked up.
static bool mainClassNamed(LaunchOutcome* outcome) {
  if (settings.mainclass) return true;
  showError("No main class is named in the configuration");
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
  if (variant != kGuiLauncher) errorLine("Already running: %s\n", settings.singleInstance);
  *outcome = kOutcomeAlreadyRunning;
  return false;
}

// The settings the configuration made are read anew (the command line's stay).
static bool readAgain(const char* configPath, LaunchOutcome* outcome) {
  if (!configPath) return true;
  resetConfiguredSettings();
  return readConfiguration(configPath, outcome);
}

// The staged update goes in before Java is chosen; one that was cut short
// and cannot be undone may have left a mix of two versions: no Java starts.
// A restart reads the configuration anew after it, and so does a start
// that it changed.
static bool updateApplied(bool restarting, const char* configPath, LaunchOutcome* outcome) {
  StagedUpdate update = applyStagedUpdate();
  if (update == kUpdateStuck) {
    showError("An update of the application could not be finished or undone, so it was not "
              "started.\nStart it again; if this comes back, install it again.");
    *outcome = kOutcomeJavaRefused;
    return false;
  }
  return !(restarting || update == kUpdateApplied) || readAgain(configPath, outcome);
}

// One start of Java: the update, the choice of Java, its command line and
// its run. *run tells how it ran when the outcome is kOutcomeJavaRan or
// kOutcomeJavaNotStarted.
static LaunchOutcome startJavaOnce(LauncherVariant variant, JavaRunner runJava, bool again,
                                   const char* configPath, const SingleInstance* instance,
                                   JobHandle* job, JavaRun* run) {
  LaunchPlan plan = {};
  LaunchOutcome outcome = kOutcomeJavaRefused;
  bool ready = updateApplied(again, configPath, &outcome) && mainClassNamed(&outcome) &&
               javaChosen(variant, &outcome) && launchPlanned(variant, &plan, &outcome);
  if (ready) {
    *run = runJava(&plan, instance, job, variant);
    outcome = run->started ? kOutcomeJavaRan : kOutcomeJavaNotStarted;
  }
  discardLaunchPlan(&plan);
  return outcome;
}

// Whether Java runs again, after the wait that a failure asks for.
static bool restartChosen(const JavaRun* run, unsigned long ranMilliseconds, int* failures) {
  RestartRules rules = {&settings.restartCodes, settings.restartOnFailure};
  RestartChoice choice = chooseRestart(&rules, run, ranMilliseconds, failures);
  if (choice == kRestartAtOnce)
    debugTraceLine("Java ended with %lu, a restart code: it starts again\n", run->exitCode);
  if (choice != kRestartAfterWait) return choice == kRestartAtOnce;
  unsigned long wait = restartWait(*failures);
  debugTraceLine("Java ended with %lu: it starts again in %lu s (restart %d of %s)\n",
                 run->exitCode, wait / 1000, *failures, settings.restartOnFailure);
  platform.sleepMilliseconds(wait);
  return true;
}

// The instance is held, and the job kept, from the first start of Java to
// the end of the last; both are given up before Java's end is reported.
// Always inlined, so that each exe's launch calls its runner directly and
// carries one copy of this.
__attribute__((always_inline)) static inline LaunchOutcome launchWith(
    LauncherVariant variant, JavaRunner runJava, JavaRun* run, const char* configPath) {
  *run = JavaRun{};
  SingleInstance instance = {};
  JobHandle job = nullptr;
  LaunchOutcome outcome = kOutcomeJavaRefused;
  bool claimed = instanceClaimed(variant, &instance, &outcome);
  int failures = 0;
  for (bool again = false; claimed; again = true) {
    unsigned long began = platform.clockMilliseconds();
    outcome = startJavaOnce(variant, runJava, again, configPath, &instance, &job, run);
    unsigned long ran = platform.clockMilliseconds() - began;
    if (outcome != kOutcomeJavaRan || !restartChosen(run, ran, &failures)) break;
    forgetJavaRun(run);
  }
  if (job) platform.closeJob(job);
  releaseSingleInstance(&instance);
  if (outcome == kOutcomeJavaRan || outcome == kOutcomeJavaNotStarted) reportJavaEnd(run, variant);
  forgetJavaRun(run);
  return outcome;
}

LaunchOutcome launchConfigured(LauncherVariant variant, JavaRun* run, const char* configPath) {
  return launchWith(variant, launchJava, run, configPath);
}

LaunchOutcome launchConfiguredWith(LauncherVariant variant, JavaRunner runJava, JavaRun* run,
                                   const char* configPath) {
  return launchWith(variant, runJava, run, configPath);
}

int runLauncher(LauncherVariant variant, int argc, char** argv, const bool* quoted) {
  openDiagnostics(variant);
  const char* programName = argc > 0 && argv[0] ? argv[0] : "";
  scanArguments(argc, argv, quoted);
  settings.consoleJava = settings.debug || variant == kConsoleLauncher;
  char* bracketedName = settings.debug ? formatText("[%s]", programName) : nullptr;
  debugMessage("Version", CORVANE_VERSION);
  debugMessage("LpCmdLine", "%s", bracketedName);

  setProgramDirectoryVariable();
  settings.pathsFromProgramDirectory = variant == kConsoleLauncher;
  char* configFile = locateConfigFile(variant, programName);
  LaunchOutcome outcome = kOutcomeNoConfigFile;
  JavaRun run = {};
  if (readAppConfig(configFile, &outcome)) {
    dumpSettings();
    outcome = launchConfigured(variant, &run, configFile);
  } else if (outcome == kOutcomeNoConfigFile) {
    debugMessage("LpCmdLine", "%s", bracketedName);
  }
  releaseMemory(configFile);
  releaseMemory(bracketedName);
  return exitStatusFor(variant, outcome, run.exitCode);
}
