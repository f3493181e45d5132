#include "launch/launch_java.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "launch/argument_file.h"
#include "launch/command_line.h"
#include "launch/java_job.h"
#include "launch/spellable_paths.h"
#include "platform/platform.h"

static bool tooLong(const char* commandLine) {
  return textUtf16Length(commandLine) > kMaxCommandLineLength;
}

// Why a line is refused: it is too long even for Java that reads an
// argument file, the Java is not known to read one, or the file could not be
// written.
enum Refusal { kRefusedAsLong, kRefusedForOldJava, kRefusedUnwritable };

static LinePlan refuseLine(const char* commandLine, Refusal refusal, unsigned long errorCode) {
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
  return kLineRefused;
}

LinePlan planCommandLine(LaunchPlan* plan) {
  *plan = LaunchPlan{};
  char* command = javaCommandText();
  debugMessage("Javapath is", "%s", command);
  releaseMemory(command);
  if (!giveJavaSpellablePaths()) return kLineRefused;
  plan->commandLine = buildCommandLine();
  if (tooLong(plan->commandLine)) return kLineTooLong;
  debugMessage("Command Line is", "%s", plan->commandLine);
  return kLineReady;
}

LinePlan refuseLineForOldJava(LaunchPlan* plan) {
  debugMessage("Command Line is", "%s", plan->commandLine);
  return refuseLine(plan->commandLine, kRefusedForOldJava, 0);
}

LinePlan planArgumentFile(LaunchPlan* plan) {
  unsigned long errorCode = 0;
  char* forJava = writeArgumentFile(&plan->argumentFile, &errorCode);
  if (!forJava)
    return errorCode ? refuseLine(plan->commandLine, kRefusedUnwritable, errorCode) : kLineRefused;
  char* fullLine = plan->commandLine;
  plan->commandLine = buildArgumentFileCommandLine(forJava);
  releaseMemory(forJava);
  releaseMemory(fullLine);
  debugMessage("Command Line is", "%s", plan->commandLine);
  if (!tooLong(plan->commandLine)) return kLineReady;
  removeArgumentFile(&plan->argumentFile);
  return refuseLine(plan->commandLine, kRefusedAsLong, 0);
}

void discardLaunchPlan(LaunchPlan* plan) {
  removeArgumentFile(&plan->argumentFile);
  releaseMemory(plan->commandLine);
  plan->commandLine = nullptr;
}

// What Windows gives as the exit code of a process it has not seen end
// (STILL_ACTIVE): Java's exit code when the wait for its end or the reading
// of its code failed. Never 0, which would claim a success.
static const unsigned long kExitCodeUnknown = 259;

// Reads a started Java's exit code and gives its process back. Always
// inlined, so that launchJava stays one function in the exes that only
// call it.
__attribute__((always_inline)) static inline void endStartedJava(ProcessHandle process,
                                                                 JavaRun* run) {
  run->exitCodeKnown = platform.processExitCode(process, &run->exitCode);
  if (!run->exitCodeKnown) run->exitCode = kExitCodeUnknown;
  platform.closeProcess(process);
}

JavaRun launchJava(const LaunchPlan* plan, const SingleInstance* instance) {
  JavaRun run = {};
  ProcessHandle process = nullptr;
  JobHandle job = nullptr;
  unsigned long processId = 0;
  run.started = startJavaInJob(plan->commandLine, settings.consoleTitle, &process, &job, &processId,
                               &run.exitCode);
  if (run.started) {
    publishJavaProcess(instance, processId);
    platform.waitForInputIdle(process, 5000);
    platform.waitForExit(process);
    endStartedJava(process, &run);
  }
  if (job) platform.closeJob(job);
  return run;
}

bool startJava(const LaunchPlan* plan, const SingleInstance* instance, StartedJava* java,
               JavaRun* run) {
  *java = StartedJava{};
  run->started = startJavaInJob(plan->commandLine, settings.consoleTitle, &java->process,
                                &java->job, &java->processId, &run->exitCode);
  if (run->started) publishJavaProcess(instance, java->processId);
  return run->started;
}

void finishJava(StartedJava* java, JavaRun* run) {
  if (run->started) endStartedJava(java->process, run);
  if (java->job) platform.closeJob(java->job);
}

static void reportLaunchError(long code) {
  char* command = javaCommandText();
  showMessage("Error", kBoxIconError, "Error launching Class %s\n with Java %s.\nError=%d",
              settings.mainclass, command, (int)code);
  releaseMemory(command);
}

void reportJavaEnd(const JavaRun* run, LauncherVariant variant) {
  bool failed = !run->started || !run->exitCodeKnown;
  if (failed || (run->exitCode != 0 && variant == kGuiLauncher))
    reportLaunchError((long)run->exitCode);
  debugTraceLine("CreateProcess ret %d, exitCode=%d\n", run->started ? 1 : 0, (int)run->exitCode);
}
