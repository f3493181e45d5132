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

#endif
