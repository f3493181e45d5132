#include "common/diagnostics.h"

#include <stdarg.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

static char* formatList(const char* format, va_list arguments) {
  TextBuffer buffer = {};
  textAppendFormatList(&buffer, format, arguments);
  return textRelease(&buffer);
}

static int boxFromList(const char* caption, unsigned style, const char* format,
                       va_list arguments) {
  char* text = formatList(format, arguments);
  int answer = platform.messageBox(text, caption, style);
  releaseMemory(text);
  return answer;
}

int showMessage(const char* caption, unsigned style, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int answer = boxFromList(caption, style, format, arguments);
  va_end(arguments);
  return answer;
}

void debugMessage(const char* caption, const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  boxFromList(caption, kBoxOk, format, arguments);
  va_end(arguments);
}

void debugErrorMessage(const char* caption, const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  boxFromList(caption, kBoxIconError, format, arguments);
  va_end(arguments);
}

static void writeFromList(void (*write)(const char*), const char* format, va_list arguments) {
  char* text = formatList(format, arguments);
  write(text);
  releaseMemory(text);
}

void traceLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  writeFromList(platform.writeOutput, format, arguments);
  va_end(arguments);
}

void debugTraceLine(const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  writeFromList(platform.writeOutput, format, arguments);
  va_end(arguments);
}

void errorLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  writeFromList(platform.writeError, format, arguments);
  va_end(arguments);
}
