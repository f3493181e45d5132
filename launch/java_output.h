// Java's standard output and error, where the launcher takes them: into
// Java's log ("javaLog"), and, in the GUI launcher that has no usable
// standard error of its own to give Java (as when the shell starts it), the
// end of Java's standard error for the box that reports a failed end (but
// for java.exe in debug mode, whose console shows both streams). Each
// stream taken is a pipe that a thread of the launcher's reads; what it
// reads goes into the log at once, nothing held back. The console launcher
// takes nothing: a tool's streams belong to its caller.
#ifndef CORVANE_LAUNCH_JAVA_OUTPUT_H
#define CORVANE_LAUNCH_JAVA_OUTPUT_H

#include "common/launcher_variant.h"
#include "launch/error_tail.h"
#include "launch/java_log.h"
#include "platform/platform.h"

struct JavaStream {
  PipeHandle reader;    // NULL: not taken
  PipeHandle writer;    // Java's end, until Java has been started with it
  WorkerThread thread;  // reads the pipe to its end
  JavaLog* log;         // where what is read goes, or NULL
  ErrorTail* tail;      // what keeps its end, or NULL
};

struct JavaOutput {
  JavaLog* log;
  bool ownsLog;       // opened here (javaLog), and closed here
  JavaStream output;  // standard output, and standard error too when that is not apart
  JavaStream error;   // standard error apart, for its end
  ErrorTail tail;
};

// Decides what the launcher takes of Java's output, and makes the log, pipes
// and threads for it. Where any of them cannot be made, Java's output goes
// where it went before, and a debug trace line says why. The service
// launcher gives its own log (sharedLog), which takes both streams and stays
// its own; without one, its Java's output goes where it went before.
void takeJavaOutput(JavaOutput* output, LauncherVariant variant, JavaLog* sharedLog);

// What Java's standard output and error are to be: a pipe's writer, or NULL
// for the launcher's own.
PipeHandle javaOutputEnd(const JavaOutput* output);
PipeHandle javaErrorEnd(const JavaOutput* output);

// Once Java was started, or failed to start: the launcher's copies of
// Java's ends are closed, so that a pipe ends with the last of its writers.
void releaseJavaEnds(JavaOutput* output);

// Once Java has ended: what it left in the pipes is read (only that, where a
// program Java started still holds them), and everything is closed. A log
// that could not be written is named in a debug trace line.
void finishJavaOutput(JavaOutput* output);

// The last lines that Java wrote to standard error (a heap text), or NULL
// when they were not taken or there are none.
char* javaReportedLines(const JavaOutput* output);

#endif
