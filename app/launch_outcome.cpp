#include "app/launch_outcome.h"

#include "common/exit_status.h"

// ERROR_SERVICE_SPECIFIC_ERROR: the service's own status follows.
static const unsigned long kServiceSpecificError = 1066;

// Stands for Java's own exit code, exactly as Windows gives it.
static const int kJavasExitCode = -1;

// Every status fits a signed byte.
struct OutcomeStatus {
  signed char outcome;  // a LaunchOutcome
  signed char gui;      // the GUI launcher: 0 once the launch step ran, whatever it did
  signed char console;  // the console and service launchers: Java's own status, or why nothing ran
};

static const OutcomeStatus kStatuses[] = {
    {kOutcomeJavaRan, kExitLaunchRan, kJavasExitCode},
    {kOutcomeJavaNotStarted, kExitLaunchRan, kExitJavaNotStarted},
    {kOutcomeNoConfigFile, kExitNoConfigFile, kExitNoConfigFile},
    {kOutcomeNoJavaForVersion, kExitNoJavaForVersion, kExitNoJavaForVersion},
    {kOutcomeJavaMissing, kExitJavaMissing, kExitJavaMissing},
    {kOutcomeNoJava, kExitLaunchRan, kExitNoJava},
    {kOutcomeJavaRefused, kExitLaunchRan, kExitJavaRefused},
    {kOutcomeAlreadyRunning, kExitAlreadyRunning, kExitAlreadyRunningConsole},
};

ServiceEnd serviceEndFor(LaunchOutcome outcome, unsigned long javaExitCode,
                         bool stoppedOnRequest) {
  unsigned long status =
      stoppedOnRequest ? 0 : (unsigned long)exitStatusFor(kServiceLauncher, outcome, javaExitCode);
  return status == 0 ? ServiceEnd{0, 0} : ServiceEnd{kServiceSpecificError, status};
}

int exitStatusFor(LauncherVariant variant, LaunchOutcome outcome, unsigned long javaExitCode) {
  int status = kExitLaunchRan;
  for (const OutcomeStatus& row : kStatuses)
    if (row.outcome == outcome) status = variant == kGuiLauncher ? row.gui : row.console;
  return status == kJavasExitCode ? (int)javaExitCode : status;
}
