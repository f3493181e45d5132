#include "launch/launch_java.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "launch/argument_file.h"
#include "launch/command_line.h"
#include "launch/java_job.h"
#include "launch/single_instance.h"
#include "launch/spellable_paths.h"
#include "platform/platform.h"

static void reportLaunchError(long code) {
  showMessage("Error", kBoxIconError, "Error launching Class %s\n with Java %s.\nError=%d",
              settings.mainclass, settings.javapath, (int)code);
}

// What Windows gives as the exit code of a process it has not seen end
// (STILL_ACTIVE): Java's exit code when the wait for its end or the reading
// of its code failed. Never 0, which would claim a success.
static const unsigned long kExitCodeUnknown = 259;

// A non-zero exit code is a failure that the GUI launcher tells of. For a
// command-line tool it is its answer: the console launcher passes it on as
// its own exit status instead, and tells only of a code it could not read.
static bool exitCodeIsReported(unsigned long exitCode, bool known) {
  return !known || (exitCode != 0 && !settings.console);
}

// Starts the command, waits for its end and gives its exit code. A start
// that fails is reported with the system's error code, even when the system
// gives none, and nothing is waited for. Java's job, its process handle, the
// instance it held and its argument file are all given up once it has ended,
// before its exit code is reported.
static LaunchEnd runJava(char* commandLine, unsigned long* exitCode) {
  ProcessHandle process = nullptr;
  JobHandle job = nullptr;
  unsigned long processId = 0, errorCode = 0;
  bool known = false;  // Java's exit code was read
  bool started = startJavaInJob(commandLine, settings.consoleTitle, &process, &job, &processId,
                                &errorCode);
  *exitCode = errorCode;
  if (started) {
    publishJavaProcess(processId);
    platform.waitForInputIdle(process, 5000);
    platform.waitForExit(process);
    known = platform.processExitCode(process, exitCode);
    if (!known) *exitCode = kExitCodeUnknown;
    platform.closeProcess(process);
  }
  if (job) platform.closeJob(job);
  releaseSingleInstance();
  removeArgumentFile();
  if (!started || exitCodeIsReported(*exitCode, known)) reportLaunchError((long)*exitCode);
  debugTraceLine("CreateProcess ret %d, exitCode=%d\n", started ? 1 : 0, (int)*exitCode);
  return started ? kJavaRan : kJavaStartFailed;
}

static ArgumentFileCheck argumentFileCheck;

void setArgumentFileCheck(ArgumentFileCheck check) { argumentFileCheck = check; }

static bool tooLong(const char* commandLine) {
  return textUtf16Length(commandLine) > kMaxCommandLineLength;
}

// Why a line is refused: it is too long even for Java that reads an
// argument file, the Java is not known to read one, or the file could not be
// written.
enum Refusal { kRefusedAsLong, kRefusedForOldJava, kRefusedUnwritable };

static LaunchEnd refuseLine(const char* commandLine, Refusal refusal, unsigned long errorCode) {
  char* reason = refusal == kRefusedForOldJava
                     ? copyText("\nJava 9 or later would take a line this long.")
                 : refusal == kRefusedUnwritable
                     ? formatText("\nIts argument file could not be written (error %lu).",
                                  errorCode)
                     : copyText("");
  showMessage("Error", kBoxIconError,
              "The Java command line is %d characters long; Windows accepts at most %d%s",
              (int)textUtf16Length(commandLine), (int)kMaxCommandLineLength, reason);
  releaseMemory(reason);
  return kJavaRefused;
}

// "java @file <main class> <arguments>", the options in the file.
static LaunchEnd launchThroughArgumentFile(const char* fullLine, unsigned long* exitCode) {
  unsigned long errorCode = 0;
  char* argumentFile = writeArgumentFile(&errorCode);
  if (!argumentFile)
    return errorCode ? refuseLine(fullLine, kRefusedUnwritable, errorCode) : kJavaRefused;
  char* commandLine = keepUntilExit(buildArgumentFileCommandLine(argumentFile));
  releaseMemory(argumentFile);
  debugMessage("Command Line is", "%s", commandLine);
  if (!tooLong(commandLine)) return runJava(commandLine, exitCode);
  removeArgumentFile();
  return refuseLine(commandLine, kRefusedAsLong, 0);
}

LaunchEnd launchJava(unsigned long* exitCode) {
  *exitCode = 0;
  if (!settings.mainclass) return kJavaRefused;  // the main sequence has said why
  if (!settings.javapath) return kNoJavaChosen;
  debugMessage("Javapath is", "%s", settings.javapath);
  if (!giveJavaSpellablePaths()) return kJavaRefused;

  char* commandLine = keepUntilExit(buildCommandLine());
  bool takesArgumentFile = tooLong(commandLine) && argumentFileCheck && argumentFileCheck();
  if (takesArgumentFile) return launchThroughArgumentFile(commandLine, exitCode);
  debugMessage("Command Line is", "%s", commandLine);
  if (tooLong(commandLine)) return refuseLine(commandLine, kRefusedForOldJava, 0);
  return runJava(commandLine, exitCode);
}
