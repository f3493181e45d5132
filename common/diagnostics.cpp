#include "common/diagnostics.h"

#include <stdarg.h>
#include <string.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

static LauncherVariant channel = kGuiLauncher;

void openDiagnostics(LauncherVariant variant) { channel = variant; }

// The console and service launchers show no box and write their trace lines
// on standard error.
static bool onConsole(void) { return channel != kGuiLauncher; }

int showText(const char* caption, unsigned style, const char* text) {
  if (!onConsole()) return platform.messageBox(text, caption, style);
  platform.writeError(caption);
  platform.writeError(": ");
  platform.writeError(text);
  size_t length = strlen(text);
  if (length == 0 || text[length - 1] != '\n') platform.writeError("\n");
  return (style & kBoxYesNo) ? kAnswerNo : kAnswerOk;
}

static char* formatList(const char* format, va_list arguments) {
  TextBuffer buffer = {};
  textAppendFormatList(&buffer, format, arguments);
  return textRelease(&buffer);
}

static int showFromList(const char* caption, unsigned style, const char* format,
                        va_list arguments) {
  char* text = formatList(format, arguments);
  int answer = showText(caption, style, text);
  releaseMemory(text);
  return answer;
}

int showMessage(const char* caption, unsigned style, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int answer = showFromList(caption, style, format, arguments);
  va_end(arguments);
  return answer;
}

void showError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  showFromList("Error", kBoxIconError, format, arguments);
  va_end(arguments);
}

void debugMessage(const char* caption, const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  showFromList(caption, kBoxOk, format, arguments);
  va_end(arguments);
}

void debugErrorMessage(const char* caption, const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  showFromList(caption, kBoxIconError, format, arguments);
  va_end(arguments);
}

bool askToOpenPage(const char* caption, const char* text, const char* question, const char* page) {
  if (!onConsole())
    return showMessage(caption, kBoxIconError | kBoxYesNo, "%s\n%s", text, question) == kAnswerYes;
  if (page)
    showMessage(caption, kBoxIconError, "%s\nDownload page: %s", text, page);
  else
    showText(caption, kBoxIconError, text);
  return false;
}

void reportOutOfMemory(void) {
  if (!onConsole()) platform.writeError("Out of memory\n");
  showText("Error", kBoxIconError, "Out of memory");
}

static void writeFromList(const char* format, va_list arguments) {
  char* text = formatList(format, arguments);
  (onConsole() ? platform.writeError : platform.writeOutput)(text);
  releaseMemory(text);
}

void traceLine(const char* format, ...) {
  if (onConsole() && !settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  writeFromList(format, arguments);
  va_end(arguments);
}

void debugTraceLine(const char* format, ...) {
  if (!settings.debug) return;
  va_list arguments;
  va_start(arguments, format);
  writeFromList(format, arguments);
  va_end(arguments);
}

void errorLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  char* text = formatList(format, arguments);
  va_end(arguments);
  platform.writeError(text);
  releaseMemory(text);
}
