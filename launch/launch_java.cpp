#include "launch/launch_java.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "launch/command_line.h"
#include "launch/spellable_paths.h"
#include "platform/platform.h"

static const int kNothingStarted = 2;

static void reportLaunchError(long code) {
  showMessage("Error", kBoxIconError, "Error launching Class %s\n with Java %s.\nError=%d",
              settings.mainclass, settings.javapath, (int)code);
}

// Starts the command, waits for its end and returns the exit code. A start
// that fails is reported with the system's error code, even when the system
// gives none, nothing is waited for, and the result is kNothingStarted.
static int runJava(char* commandLine) {
  ProcessHandle process = nullptr;
  unsigned long errorCode = 0;
  bool started = platform.startProcess(commandLine, settings.consoleTitle, &process, &errorCode);
  unsigned long exitCode = errorCode;
  if (started) {
    platform.waitForInputIdle(process, 5000);
    platform.waitForExit(process);
    if (!platform.processExitCode(process, &exitCode)) exitCode = 0;
    platform.closeProcess(process);
  }
  if (!started || exitCode != 0) reportLaunchError((long)exitCode);
  debugTraceLine("CreateProcess ret %d, exitCode=%d\n", started ? 1 : 0, (int)exitCode);
  return started ? (int)exitCode : kNothingStarted;
}

// The length Windows counts: one unit for each character of the UTF-8 text,
// two for one beyond U+FFFF (a four-byte sequence).
static size_t utf16Length(const char* text) {
  size_t length = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p)
    length += (*p & 0xC0) != 0x80 ? (*p >= 0xF0 ? 2 : 1) : 0;
  return length;
}

int launchJava(void) {
  if (!settings.mainclass || !settings.javapath) return kNothingStarted;  // the caller has said why
  debugMessage("Javapath is", "%s", settings.javapath);
  if (!giveJavaSpellablePaths()) return kNothingStarted;

  char* commandLine = keepUntilExit(buildCommandLine());
  debugMessage("Command Line is", "%s", commandLine);
  size_t length = utf16Length(commandLine);
  if (length > kMaxCommandLineLength) {
    showMessage("Error", kBoxIconError,
                "The Java command line is %d characters long; Windows accepts at most %d",
                (int)length, (int)kMaxCommandLineLength);
    return kNothingStarted;
  }
  return runJava(commandLine);
}
