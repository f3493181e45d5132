// The launcher's main sequence, called by its entry with the argument vector
// split from the command line (common/argument_vector.h).
#ifndef CORVANE_APP_MAIN_SEQUENCE_H
#define CORVANE_APP_MAIN_SEQUENCE_H

#define CORVANE_VERSION "1.0.8"

// Returns the exit status (common/exit_status.h): kExitNoConfigFile when the
// configuration file cannot be read; once the launch step has run,
// kExitLaunchRan, or in the console launcher Java's own exit code or the
// reason no Java was started.
int runLauncher(int argc, char** argv);

// Drops ".exe" from programName in place, forms the configuration path from
// directory and the base name, and reads it. 0 when read, 1 otherwise.
int locateConfigFile(char* programName, const char* directory);

#endif
