#include "launch/java_output.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"

enum { kReadSize = 65536 };

// A reader thread: each read goes where it belongs before the next one.
static unsigned long CORVANE_THREAD_WORK readStream(void* context) {
  JavaStream* stream = static_cast<JavaStream*>(context);
  char buffer[kReadSize];
  size_t count;
  while ((count = platform.readOutputPipe(stream->reader, buffer, sizeof buffer)) > 0) {
    if (stream->log) appendToJavaLog(stream->log, buffer, count);
    if (stream->tail) keepErrorTail(stream->tail, buffer, count);
  }
  return 0;
}

static bool openStream(JavaStream* stream, JavaLog* log, ErrorTail* tail,
                       unsigned long* errorCode) {
  stream->log = log;
  stream->tail = tail;
  if (!platform.createOutputPipe(&stream->reader, &stream->writer, errorCode)) return false;
  stream->thread = platform.startThread(readStream, stream, errorCode);
  return stream->thread != nullptr;
}

static JavaLog* openConfiguredLog(void) {
  char* path = javaLogPath(settings.javaLog);
  unsigned long errorCode = 0;
  JavaLog* log =
      openJavaLog(path, javaLogLimits(settings.javaLogSize, settings.javaLogKeep), &errorCode);
  if (log)
    debugTraceLine("Java's output goes to %s\n", path);
  else
    debugTraceLine("Java's log %s cannot be opened (error %lu): "
                   "its output goes where it went before\n", path, errorCode);
  releaseMemory(path);
  return log;
}

void takeJavaOutput(JavaOutput* output, LauncherVariant variant, JavaLog* sharedLog) {
  *output = JavaOutput{};
  if (variant == kConsoleLauncher || (variant == kServiceLauncher && !sharedLog)) return;
  output->log = sharedLog;
  output->ownsLog = !sharedLog && !textIsEmpty(settings.javaLog);
  if (output->ownsLog) output->log = openConfiguredLog();
  // In debug mode java.exe gets a console of its own, which shows both of
  // its streams; without a log they stay there. A service shows no box.
  bool keepTail = variant == kGuiLauncher && !platform.standardErrorUsable() &&
                  (output->log || !settings.consoleJava);
  unsigned long errorCode = 0;
  if ((!output->log || openStream(&output->output, output->log, nullptr, &errorCode)) &&
      (!keepTail || openStream(&output->error, output->log, &output->tail, &errorCode)))
    return;
  debugTraceLine("Java's output cannot be read (error %lu): it goes where it went before\n",
                 errorCode);
  finishJavaOutput(output);
  *output = JavaOutput{};
}

PipeHandle javaOutputEnd(const JavaOutput* output) { return output->output.writer; }

PipeHandle javaErrorEnd(const JavaOutput* output) {
  return output->error.writer ? output->error.writer : output->output.writer;
}

static void releaseEnd(JavaStream* stream) {
  if (stream->writer) platform.closeOutputPipe(stream->writer);
  stream->writer = nullptr;
}

void releaseJavaEnds(JavaOutput* output) {
  releaseEnd(&output->output);
  releaseEnd(&output->error);
}

static void closeStream(JavaStream* stream) {
  if (stream->thread) platform.joinThread(stream->thread);
  if (stream->reader) platform.closeOutputPipe(stream->reader);
  stream->thread = nullptr;
  stream->reader = nullptr;
}

void finishJavaOutput(JavaOutput* output) {
  releaseJavaEnds(output);
  JavaStream* streams[] = {&output->output, &output->error};
  for (JavaStream* stream : streams)
    if (stream->reader) platform.stopOutputPipe(stream->reader);
  for (JavaStream* stream : streams) closeStream(stream);
  JavaLog* log = output->log;
  if (log && log->firstError)
    debugTraceLine("Java's log %s could not be written (error %lu)\n", log->path, log->firstError);
  if (output->ownsLog) closeJavaLog(log);
  output->log = nullptr;
}

char* javaReportedLines(const JavaOutput* output) {
  if (!output->error.tail || output->tail.kept == 0) return nullptr;
  return errorTailLines(&output->tail);
}
