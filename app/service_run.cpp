#include "app/service_run.h"

#include "app/launch_outcome.h"
#include "app/config_location.h"
#include "app/main_sequence.h"
#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "platform/platform.h"
#include "platform/service_platform.h"
#include "service/java_stop.h"
#include "service/service_events.h"
#include "service/service_log.h"
#include "service/service_settings.h"
#include "service/service_status.h"

// What the run keeps for its Java runner, which launchConfiguredWith calls
// with the plan alone. Only the service's thread touches it.
struct ServiceRun {
  char* name;
  char* logPath;
  unsigned long stopTimeoutSeconds;
  bool consoleShared;  // Java's console, opened once: a process has one console
  bool stopped;        // a stop or a shutdown ended Java
  int exitStatus;
};
static ServiceRun run;

static bool openConsoleForJava(void) {
  unsigned long error = 0;
  if (servicePlatform.openJavaConsole(&error)) return true;
  tellFailure("No console for Java, so no Ctrl+C", error);
  return false;
}

static void waitForJavaOrStop(const StartedJava* java, JobHandle job, bool consoleShared) {
  ServiceWait waited = servicePlatform.waitForJavaOrStop(java->process);
  if (waited == kWaitJavaEnded) return;
  run.stopped = waited != kWaitFailed;
  errorLine(waited == kWaitStopRequested ? "Stop requested\n"
            : waited == kWaitShutdown    ? "The machine is shutting down\n"
                                         : "The wait for Java failed\n");
  stopJava(java, job, consoleShared, run.stopTimeoutSeconds);
}

// launchJava's counterpart: Java on the launcher's console with the log as
// its output, running until it ends or the service is stopped.
static JavaRun runJavaAsService(const LaunchPlan* plan, const SingleInstance* instance,
                                JobHandle* job, LauncherVariant) {
  // Always the service: as a constant, what only the other launchers do
  // (the GUI launcher's tail of Java's errors) is left out of this exe.
  const LauncherVariant variant = kServiceLauncher;
  JavaRun javaRun;
  StartedJava java;
  if (startJava(plan, instance, job, serviceJavaLog(), variant, &java, &javaRun)) {
    reportServiceRunning();
    reportServiceEvent(kEventInformation, "%s started Java, process %lu", run.name, java.processId);
    waitForJavaOrStop(&java, *job, run.consoleShared);
  }
  finishJava(&java, variant, &javaRun);
  javaRun.stopRequested = run.stopped;
  return javaRun;
}

// The configuration beside the exe, which works in its own directory; its
// path (heap text) in *configPath, for a restart to read it again.
static bool readConfigurationBesideExe(const char* directory, char** configPath,
                                       LaunchOutcome* outcome) {
  char* programName = platform.programPath();
  *configPath = directory && programName ? configPathIn(directory, programName) : nullptr;
  releaseMemory(programName);
  if (!*configPath) {
    errorLine("%s\n", kNoOwnPath);
    *outcome = kOutcomeNoConfigFile;
    return false;
  }
  return readAppConfig(*configPath, outcome);
}

static void openLogAndEvents(const char* directory) {
  run.name = serviceName();
  run.logPath = serviceLogPath(directory ? directory : "", run.name);
  openServiceEvents(run.name);
  unsigned long error = 0;
  if (!openServiceLog(run.logPath, &error))
    reportServiceEvent(kEventError, "%s: its log %s cannot be opened (error %lu)", run.name,
                       run.logPath, error);
}

static void reportEnd(LaunchOutcome outcome, const JavaRun* javaRun, ServiceEnd end) {
  if (run.stopped)
    reportServiceEvent(kEventInformation, "%s stopped", run.name);
  else if (outcome == kOutcomeJavaRan)
    reportServiceEvent(end.win32ExitCode ? kEventError : kEventInformation,
                       "%s stopped: Java ended with status %lu", run.name, javaRun->exitCode);
  else
    reportServiceEvent(kEventError, "%s stopped: no Java ran (status %lu); the reason is in %s",
                       run.name, end.specificExitCode, run.logPath);
}

static void endRun(ServiceEnd end) {
  closeServiceEvents();
  closeServiceLog();
  releaseMemory(run.name);
  releaseMemory(run.logPath);
  run.exitStatus = (int)end.specificExitCode;
  reportServiceStopped(end.win32ExitCode, end.specificExitCode);
}

void runService(int argc, char** argv) {
  run = ServiceRun{};
  routeDiagnosticsToServiceLog();
  bool connected = connectServiceStatus();
  reportServicePending(kServiceStartPending, kStartWaitHint);
  errorLine("Starting (Corvane %s)\n", CORVANE_VERSION);
  for (int i = 1; i < argc; ++i) appendSetting(&settings.arguments, argv[i]);
  settings.commandLineArguments = settings.arguments.count;  // kept when Java restarts
  char* directory = workInProgramDirectory();
  LaunchOutcome outcome = kOutcomeNoConfigFile;
  char* configPath = nullptr;
  bool read = readConfigurationBesideExe(directory, &configPath, &outcome);
  openLogAndEvents(directory);
  releaseMemory(directory);
  JavaRun javaRun = {};
  if (read && !connected) outcome = kOutcomeJavaNotStarted;
  if (read && connected) {
    run.stopTimeoutSeconds = readStopTimeout();
    run.consoleShared = openConsoleForJava();
    outcome = launchConfiguredWith(kServiceLauncher, runJavaAsService, &javaRun, configPath);
  }
  releaseMemory(configPath);
  ServiceEnd end = serviceEndFor(outcome, javaRun.exitCode, run.stopped);
  reportEnd(outcome, &javaRun, end);
  endRun(end);
}

int serviceExitStatus(void) { return run.exitStatus; }
