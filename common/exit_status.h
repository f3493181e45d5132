// The launcher's exit statuses. Starters and installers test these numbers,
// so they never change.
#ifndef CORVANE_COMMON_EXIT_STATUS_H
#define CORVANE_COMMON_EXIT_STATUS_H

enum ExitStatus {
  kExitLaunchRan = 0,          // the GUI launcher: the launch step ran, whatever Java did or whether it started
  kExitNoConfigFile = 2,       // the configuration file could not be opened
  kExitOutOfMemory = 2,        // an allocation failed (shares the value of the above)
  kExitNoJavaForVersion = 5,   // a "javaVersion" line yielded no Java command
  kExitJavaMissing = 11,       // the user was told the required Java is missing
  // The console launcher ends with Java's own exit code once Java ran; with
  // one of these when no Java was started at all, after telling why on
  // standard error. They are the numbers POSIX wrappers such as env and
  // nohup end with when they run nothing.
  kExitJavaRefused = 125,      // no main class, a path Java could not be given, a line too long
  kExitJavaNotStarted = 126,   // the system could not start the Java program
  kExitNoJava = 127,           // no Java was found: the registry names none
  // "singleInstance": the application was already running, and its windows
  // were brought to the front. The console launcher reports the same outcome
  // with a line on standard error and kExitAlreadyRunningConsole.
  kExitAlreadyRunning = 0,
  kExitAlreadyRunningConsole = 12,
  // The service launcher's commands (install, start, stop, ...) end with 0
  // when done; "status" with 0 while the service runs (or is starting or
  // stopping), kExitServiceStopped or kExitServiceNotInstalled.
  kExitCommandFailed = 1,        // Windows refused it, or the service did not get there in time
  kExitUsage = 2,                // no command it knows, or a setting it cannot take
  kExitServiceStopped = 3,
  kExitServiceNotInstalled = 4,
};

#endif
