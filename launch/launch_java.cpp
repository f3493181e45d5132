#include "launch/launch_java.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "launch/argument_file.h"
#include "launch/command_line.h"
#include "launch/java_job.h"
#include "launch/java_output.h"
#include "launch/java_reading.h"
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
  showError("The Java command line is %d characters long; Windows accepts at most %d%s",
            (int)textUtf16Length(commandLine), (int)kMaxCommandLineLength, reason);
  releaseMemory(reason);
  return kLineRefused;
}

LinePlan planCommandLine(LaunchPlan* plan) {
  char* command = javaCommandText();
  debugMessage("Javapath is", "%s", command);
  releaseMemory(command);
  if (!giveJavaSpellablePaths() || !giveJavaReadableTexts()) return kLineRefused;
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
  char* lineOptions = nullptr;
  char* forJava = writeArgumentFile(&plan->argumentFile, &lineOptions, &errorCode);
  if (!forJava)
    return errorCode ? refuseLine(plan->commandLine, kRefusedUnwritable, errorCode) : kLineRefused;
  char* fullLine = plan->commandLine;
  plan->commandLine = buildArgumentFileCommandLine(lineOptions, forJava);
  releaseMemory(lineOptions);
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
// What Windows gives a console program that Ctrl+C ended (STATUS_CONTROL_C_EXIT).
static const unsigned long kStatusControlCExit = 0xC000013A;

bool startJava(const LaunchPlan* plan, const SingleInstance* instance, JobHandle* job,
               JavaLog* sharedLog, LauncherVariant variant, StartedJava* java, JavaRun* run) {
  *java = StartedJava{};
  *run = JavaRun{};
  takeJavaOutput(&java->output, variant, sharedLog);
  ProcessStart start = plan->start;
  start.output = javaOutputEnd(&java->output);
  start.error = javaErrorEnd(&java->output);
  run->started = startJavaInJob(plan->commandLine, &start, plan->awaitAtConsoleEnd,
                                &java->process, job, &java->processId, &run->exitCode);
  releaseJavaEnds(&java->output);
  if (run->started) publishJavaProcess(instance, java->processId);
  return run->started;
}

void finishJava(StartedJava* java, LauncherVariant variant, JavaRun* run) {
  if (run->started) {
    run->exitCodeKnown = platform.processExitCode(java->process, &run->exitCode);
    if (!run->exitCodeKnown) run->exitCode = kExitCodeUnknown;
    run->interrupted = run->exitCode == kStatusControlCExit || platform.interruptedByUser();
    platform.closeProcess(java->process);
  }
  finishJavaOutput(&java->output);
  // Only the GUI launcher keeps a tail (takeJavaOutput); saying so here
  // leaves the lines' code out of the exes of the other variants.
  if (variant == kGuiLauncher && run->started && run->exitCode != 0)
    run->javaReported = javaReportedLines(&java->output);
}

JavaRun launchJava(const LaunchPlan* plan, const SingleInstance* instance, JobHandle* job,
                   LauncherVariant variant) {
  StartedJava java;
  JavaRun run;
  if (startJava(plan, instance, job, nullptr, variant, &java, &run)) {
    platform.waitForInputIdle(java.process, 5000);
    platform.waitForExit(java.process);
  }
  finishJava(&java, variant, &run);
  return run;
}

void forgetJavaRun(JavaRun* run) {
  releaseMemory(run->javaReported);
  run->javaReported = nullptr;
}

static void reportLaunchError(long code, const char* javaReported) {
  char* command = javaCommandText();
  showError("Error launching Class %s\n with Java %s.\nError=%d%s%s",
            settings.mainclass, command, (int)code, javaReported ? "\n\nJava reported:\n" : "",
            javaReported ? javaReported : "");
  releaseMemory(command);
}

void reportJavaEnd(const JavaRun* run, LauncherVariant variant) {
  bool failed = !run->started || !run->exitCodeKnown;
  if (failed || (run->exitCode != 0 && variant == kGuiLauncher))
    reportLaunchError((long)run->exitCode, run->javaReported);
  debugTraceLine("CreateProcess ret %d, exitCode=%d\n", run->started ? 1 : 0, (int)run->exitCode);
}
