// How a start of the launcher ends, and the exit status each launcher gives
// for it: the one table of them.
#ifndef CORVANE_APP_LAUNCH_OUTCOME_H
#define CORVANE_APP_LAUNCH_OUTCOME_H

#include "common/launcher_variant.h"

enum LaunchOutcome {
  kOutcomeJavaRan,           // Java ran (its exit code, or 259 when it could not be read)
  kOutcomeJavaNotStarted,    // the system could not start it
  kOutcomeNoConfigFile,      // the configuration could not be opened or read to its end
  kOutcomeNoJavaForVersion,  // a "javaVersion" line yielded no Java executable
  kOutcomeJavaMissing,       // the required Java is missing, or none fits the search
  kOutcomeNoJava,            // the registry names no current runtime
  kOutcomeJavaRefused,       // no main class, a path Java cannot be given, a line too long
  kOutcomeAlreadyRunning,    // a "singleInstance" application runs already
};

// The exit status for the outcome; javaExitCode is Java's own once it ran.
int exitStatusFor(LauncherVariant variant, LaunchOutcome outcome, unsigned long javaExitCode);

// How the service reports its end to the service control manager.
struct ServiceEnd {
  unsigned long win32ExitCode;     // 0, or ERROR_SERVICE_SPECIFIC_ERROR (1066)
  unsigned long specificExitCode;  // with 1066: the status, which failure actions act on
};

// A stop on request, or a Java that ended with 0, ends the service clean;
// any other outcome with a service-specific error carrying the status the
// console launcher gives it (Java's own, once Java ran).
ServiceEnd serviceEndFor(LaunchOutcome outcome, unsigned long javaExitCode, bool stoppedOnRequest);

#endif
