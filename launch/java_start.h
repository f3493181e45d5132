// How Java is started, besides its command line: what the launcher's own
// start and its configuration ask of the shell and the console.
#ifndef CORVANE_LAUNCH_JAVA_START_H
#define CORVANE_LAUNCH_JAVA_START_H

#include "common/launcher_variant.h"
#include "platform/platform.h"

// The start's record for Java:
//   - the show state the launcher was started with (a shortcut's "Run:
//     Maximized") passes on to Java's first window;
//   - appUserModelId, when set, is the title, marked as the taskbar identity
//     of Java's windows; else consoleTitle is the title, or none;
//   - the console launcher started without a console (DETACHED_PROCESS)
//     starts java.exe without a console window of its own.
ProcessStart planJavaStart(LauncherVariant variant);

#endif
