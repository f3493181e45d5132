// The launch: the command line Java is started with (planned, then run),
// and how Java's end is reported.
#ifndef CORVANE_LAUNCH_LAUNCH_JAVA_H
#define CORVANE_LAUNCH_LAUNCH_JAVA_H

#include "common/launcher_variant.h"
#include "launch/argument_file.h"
#include "launch/java_output.h"
#include "launch/single_instance.h"

// The longest command line CreateProcessW takes: 32767 UTF-16 units with the
// terminating NUL.
enum { kMaxCommandLineLength = 32766 };

// What starts Java: the command line, and the argument file that holds its
// options when the line would be too long without one. Its planner makes
// it; discardLaunchPlan gives it up once Java has ended.
struct LaunchPlan {
  char* commandLine;
  ArgumentFile argumentFile;  // none unless the line is too long without one
  // The console launcher: when its console closes, or the session ends, it
  // waits for Java (bounded) before it ends.
  bool awaitAtConsoleEnd;
  // How Java is started besides its command line (launch/java_start.h).
  ProcessStart start;
};

enum LinePlan {
  kLineReady,    // plan->commandLine starts Java
  kLineTooLong,  // longer than Windows takes: only an argument file can help
  kLineRefused,  // nothing can be started: a box has said why
};

// Plans into a plan that starts empty. Gives Java paths its code page spells
// and texts it reads as they stand (a box names one it cannot be given), and
// builds the command line from the settings: javapath and mainclass must be
// present.
LinePlan planCommandLine(LaunchPlan* plan);

// For a line too long, and a Java that reads an argument file: the options
// go into one, and Java starts as "java @file <main class> <arguments>"
// (the JVM options up to the last "@file" among them before that file).
LinePlan planArgumentFile(LaunchPlan* plan);

// For a line too long, and a Java not known to read an argument file: the
// box says how long it is.
LinePlan refuseLineForOldJava(LaunchPlan* plan);

// Removes the argument file and releases the plan's texts.
void discardLaunchPlan(LaunchPlan* plan);

// How Java ran.
struct JavaRun {
  bool started;
  bool exitCodeKnown;      // its end and exit code were read
  bool interrupted;        // the user stopped it with Ctrl+C on the console
  unsigned long exitCode;  // Java's; the system's error code when it did not start;
                           // 259 (STILL_ACTIVE) when it could not be read
  // The last lines Java wrote to standard error, where the launcher read
  // them and Java's end is reported (heap text); NULL for none.
  char* javaReported;
  bool stopRequested;  // the service was stopped, and Java with it
};

// Starts Java in its job (*job, made by the first launch and kept: see
// startJavaInJob), with its output where the variant takes it
// (launch/java_output.h), makes it the instance's Java, waits for it to end,
// reads its exit code, and gives its process and output back.
JavaRun launchJava(const LaunchPlan* plan, const SingleInstance* instance, JobHandle* job,
                   LauncherVariant variant);

// Gives up what a run holds (the lines Java reported).
void forgetJavaRun(JavaRun* run);

// The steps of launchJava before and after the wait, for a launcher that
// waits its own way. Java, once started, until finishJava gives it back:
struct StartedJava {
  ProcessHandle process;
  unsigned long processId;
  JavaOutput output;
};
// Starts Java in its job (see launchJava), with its output where the
// variant takes it (into sharedLog, when given: the service's log), and
// makes it the instance's Java; false, with run->exitCode the system's error
// code, when it could not be started.
bool startJava(const LaunchPlan* plan, const SingleInstance* instance, JobHandle* job,
               JavaLog* sharedLog, LauncherVariant variant, StartedJava* java, JavaRun* run);
// Reads the exit code of a Java that has ended (259 when it cannot be read),
// whether the user stopped it, and, for the GUI launcher's box, what it
// reported, and gives its process and output back.
void finishJava(StartedJava* java, LauncherVariant variant, JavaRun* run);

// Tells of a start that failed (with the system's error code), of an exit
// code that could not be read, and, in the GUI launcher, of a non-zero one
// (with the lines Java reported, when there are any):
// for a command-line tool it is its answer, which the console launcher
// passes on as its own exit status.
void reportJavaEnd(const JavaRun* run, LauncherVariant variant);

#endif
