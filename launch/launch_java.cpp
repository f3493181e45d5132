#include "launch/launch_java.h"

#include <stdlib.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "launch/command_line.h"
#include "launch/spellable_paths.h"
#include "platform/platform.h"

static void reportLaunchError(long code) {
  showMessage("Error", kBoxIconError, "Error launching Class %s\n with Java %s.\nError=%d",
              settings.mainclass, settings.javapath, (int)code);
}

// A non-zero exit code is a failure that the GUI launcher tells of. For a
// command-line tool it is its answer: the console launcher passes it on as
// its own exit status instead.
static bool exitCodeIsReported(unsigned long exitCode) {
  return exitCode != 0 && !settings.console;
}

// Starts the command, waits for its end and gives its exit code. A start
// that fails is reported with the system's error code, even when the system
// gives none, and nothing is waited for.
static LaunchEnd runJava(char* commandLine, unsigned long* exitCode) {
  ProcessHandle process = nullptr;
  unsigned long errorCode = 0;
  bool started = platform.startProcess(commandLine, settings.consoleTitle, &process, &errorCode);
  *exitCode = errorCode;
  if (started) {
    platform.waitForInputIdle(process, 5000);
    platform.waitForExit(process);
    if (!platform.processExitCode(process, exitCode)) *exitCode = 0;
  }
  if (!started || exitCodeIsReported(*exitCode)) reportLaunchError((long)*exitCode);
  debugTraceLine("CreateProcess ret %d, exitCode=%d\n", started ? 1 : 0, (int)*exitCode);
  return started ? kJavaRan : kJavaStartFailed;
}

// The length Windows counts: one unit for each character of the UTF-8 text,
// two for one beyond U+FFFF (a four-byte sequence).
static size_t utf16Length(const char* text) {
  size_t length = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p)
    length += (*p & 0xC0) != 0x80 ? (*p >= 0xF0 ? 2 : 1) : 0;
  return length;
}

bool mainClassNamed(void) {
  if (settings.mainclass) return true;
  showMessage("Error", kBoxIconError, "No main class is named in the configuration");
  return false;
}

LaunchEnd launchJava(unsigned long* exitCode) {
  *exitCode = 0;
  if (!mainClassNamed()) return kJavaRefused;
  if (!settings.javapath) return kNoJavaChosen;
  debugMessage("Javapath is", "%s", settings.javapath);
  if (!giveJavaSpellablePaths()) return kJavaRefused;

  char* commandLine = keepUntilExit(buildCommandLine());
  debugMessage("Command Line is", "%s", commandLine);
  size_t length = utf16Length(commandLine);
  if (length > kMaxCommandLineLength) {
    showMessage("Error", kBoxIconError,
                "The Java command line is %d characters long; Windows accepts at most %d",
                (int)length, (int)kMaxCommandLineLength);
    return kJavaRefused;
  }
  return runJava(commandLine, exitCode);
}
