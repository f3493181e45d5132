#ifndef CORVANE_LAUNCH_LAUNCH_JAVA_H
#define CORVANE_LAUNCH_LAUNCH_JAVA_H

// The longest command line CreateProcessW takes: 32767 UTF-16 units with the
// terminating NUL.
enum { kMaxCommandLineLength = 32766 };

// Starts settings.javapath with the command line built from the settings,
// waits for the process to end, and reports a non-zero exit code. Returns
// that exit code, or 2 when nothing could be started: no main class or no
// Java command (the main sequence checks the one and has the other chosen,
// and says why there is none), a path Java could not be given (see
// spellable_paths.h), a command line too long, or a failed start.
int launchJava(void);

#endif
