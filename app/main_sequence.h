// The launcher's main sequence, called by its entry with the variant it is
// and the argument vector split from its command line (common/argument_vector.h).
#ifndef CORVANE_APP_MAIN_SEQUENCE_H
#define CORVANE_APP_MAIN_SEQUENCE_H

#include "app/launch_outcome.h"
#include "common/launcher_variant.h"
#include "launch/launch_java.h"

#define CORVANE_VERSION "1.0.8"

// Reads the configuration, then launches Java as it says (launchConfigured),
// and returns the exit status that the outcome gives (app/launch_outcome.h).
// quoted (NULL for none) tells for each argument whether its caller quoted it.
int runLauncher(LauncherVariant variant, int argc, char** argv, const bool* quoted = nullptr);

// Once the configuration is read: holds the single instance, applies a
// staged update, checks for a main class, chooses Java, plans its command
// line, runs it, and starts it again as long as "restartCode" and
// "restartOnFailure" ask (reading the configuration at configPath anew each
// time; NULL keeps the settings as they are); then gives the instance, the
// job and the plan up, and reports how the last Java ended. *run tells how
// the last Java ran, when it was started.
LaunchOutcome launchConfigured(LauncherVariant variant, JavaRun* run,
                               const char* configPath = nullptr);

// Reads the launcher's configuration file (readConfiguration); a NULL path
// is one that could not be named (app/config_location.h). True when read;
// false with the outcome that ends the start.
bool readAppConfig(const char* path, LaunchOutcome* outcome);

// How one Java runs once its command line is planned: launchJava, or the
// service launcher's runner, whose Java runs until it ends or the service is
// stopped. job is kept across restarts (see startJavaInJob).
typedef JavaRun (*JavaRunner)(const LaunchPlan* plan, const SingleInstance* instance,
                              JobHandle* job, LauncherVariant variant);

// launchConfigured with Java run by runJava instead of launchJava.
LaunchOutcome launchConfiguredWith(LauncherVariant variant, JavaRunner runJava, JavaRun* run,
                                   const char* configPath);

// Reads the configuration file at path into the settings; each "javaVersion"
// line looks its version up where it stands. True when read; false with the
// outcome that ends the start (no file, or no Java for a version).
bool readConfiguration(const char* path, LaunchOutcome* outcome);

#endif
