// What the entry runs: the Windows platform, the command line, the main
// sequence. Compiled into each exe with the exe's variant as a constant.
#ifndef CORVANE_APP_RUN_ON_WINDOWS_H
#define CORVANE_APP_RUN_ON_WINDOWS_H

// Returns the exit status.
int runOnWindows(void);

#endif
