#ifndef CORVANE_LAUNCH_LAUNCH_JAVA_H
#define CORVANE_LAUNCH_LAUNCH_JAVA_H

// The longest command line CreateProcessA takes: 32767 characters with the
// terminating NUL.
enum { kMaxCommandLineLength = 32766 };

// Starts the Java process, waits for it to end, and reports a non-zero exit
// code. Returns that exit code, or 2 when nothing could be started.
int launchJava(void);

#endif
