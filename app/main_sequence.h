// The launcher's main sequence, called by its entry with the variant it is
// and the argument vector of its command line.
#ifndef CORVANE_APP_MAIN_SEQUENCE_H
#define CORVANE_APP_MAIN_SEQUENCE_H

#include "app/launch_outcome.h"
#include "common/launcher_variant.h"
#include "launch/launch_java.h"

#define CORVANE_VERSION "1.0.8"

// Reads the configuration, then launches Java as it says (launchConfigured),
// and returns the exit status that the outcome gives (app/launch_outcome.h).
int runLauncher(LauncherVariant variant, int argc, char** argv);

// Once the configuration is read: holds the single instance, checks for a
// main class, chooses Java, plans its command line, runs it, gives the
// instance and the plan up, and reports how Java ended. *run tells how
// Java ran, when it was started.
LaunchOutcome launchConfigured(LauncherVariant variant, JavaRun* run);

// launchConfigured with Java run by runJava instead of launchJava: the
// service launcher's Java runs until it ends or the service is stopped.
typedef JavaRun (*JavaRunner)(const LaunchPlan* plan, const SingleInstance* instance);
LaunchOutcome launchConfiguredWith(LauncherVariant variant, JavaRunner runJava, JavaRun* run);

// Drops ".exe" from programName in place, forms the configuration path from
// directory and the base name, and reads it (readConfiguration). True when
// read; false with the outcome that ends the start.
bool locateConfigFile(char* programName, const char* directory, LaunchOutcome* outcome);

// Reads the configuration file at path into the settings; each "javaVersion"
// line looks its version up where it stands. True when read; false with the
// outcome that ends the start (no file, or no Java for a version).
bool readConfiguration(const char* path, LaunchOutcome* outcome);

#endif
