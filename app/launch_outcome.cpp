#include "app/launch_outcome.h"

#include "common/exit_status.h"

// Stands for Java's own exit code, exactly as Windows gives it.
static const int kJavasExitCode = -1;

// Every status fits a signed byte.
struct OutcomeStatus {
  signed char outcome;  // a LaunchOutcome
  signed char gui;      // the GUI launcher: 0 once the launch step ran, whatever it did
  signed char console;  // the console launcher: the tool's own status, or why nothing ran
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

int exitStatusFor(LauncherVariant variant, LaunchOutcome outcome, unsigned long javaExitCode) {
  int status = kExitLaunchRan;
  for (const OutcomeStatus& row : kStatuses)
    if (row.outcome == outcome) status = variant == kConsoleLauncher ? row.console : row.gui;
  return status == kJavasExitCode ? (int)javaExitCode : status;
}
