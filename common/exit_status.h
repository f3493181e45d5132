// The launcher's exit statuses. Starters and installers test these numbers,
// so they never change.
#ifndef CORVANE_COMMON_EXIT_STATUS_H
#define CORVANE_COMMON_EXIT_STATUS_H

enum ExitStatus {
  kExitLaunchRan = 0,          // the launch step ran, whatever Java did or whether it started
  kExitNoConfigFile = 2,       // the configuration file could not be opened
  kExitOutOfMemory = 2,        // an allocation failed (shares the value of the above)
  kExitNoJavaForVersion = 5,   // a "javaVersion" line yielded no Java command
  kExitJavaMissing = 11,       // the user was told the required Java is missing
  // "singleInstance": the application was already running, and its windows
  // were brought to the front. The console launcher reports the same outcome
  // with a line on standard error and kExitAlreadyRunningConsole.
  kExitAlreadyRunning = 0,
  kExitAlreadyRunningConsole = 12,
};

#endif
