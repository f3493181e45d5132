#include "launch/java_reading.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// What Java's C runtime splits and escapes by, and the wildcards Java
// expands in program arguments.
static const char kEscaping[] = "\"\\";
static const char kSplitting[] = "\"\\ \t";
static const char kArgumentMarks[] = "\"\\ \t*?";

// True when both texts hold the same characters of set, in the same order.
static bool sameMarks(const char* text, const char* reading, const char* set) {
  for (;; ++text, ++reading) {
    text += strcspn(text, set);
    reading += strcspn(reading, set);
    if (*text != *reading) return false;
    if (!*text) return true;
  }
}

// The text as Java reads it, in UTF-8 (heap text); NULL for ASCII, which
// every ANSI code page spells alike.
static char* javaReading(const char* text) {
  if (textIsAscii(text)) return nullptr;
  char* bytes = platform.ansiBytes(text);
  char* reading = bytes ? platform.ansiToUtf8(bytes) : nullptr;
  releaseMemory(bytes);
  if (!reading) outOfMemory();
  return reading;
}

static bool refuseReading(const char* text, const char* reading) {
  showError("Java cannot be given\n%s\nIn the system's code page Java would read it as\n%s\n"
            "where a look-alike character has become a quote, a blank or a backslash.",
            text, reading);
  return false;
}

static bool readsAsWritten(const char* text) {
  char* reading = javaReading(text);
  bool same = !reading || sameMarks(text, reading, kSplitting) || refuseReading(text, reading);
  releaseMemory(reading);
  return same;
}

static void replaceText(char** field, char** by) {
  releaseMemory(*field);
  *field = *by;
  *by = nullptr;
}

static bool giveReadableEntry(char** entry) {
  if (strchr(*entry, '"')) return readsAsWritten(*entry);
  char* reading = javaReading(*entry);
  bool given = true;
  if (reading && !sameMarks(*entry, reading, kSplitting)) {
    given = !strchr(reading, '"') || refuseReading(*entry, reading);
    if (given) replaceText(entry, &reading);
  }
  releaseMemory(reading);
  return given;
}

static void giveReadableArgument(int index) {
  char** argument = &settings.arguments.items[index];
  char* reading = javaReading(*argument);
  if (reading && !sameMarks(*argument, reading, kArgumentMarks)) {
    quoteArgument(index);
    if (!sameMarks(*argument, reading, kEscaping)) replaceText(argument, &reading);
  }
  releaseMemory(reading);
}

bool giveJavaReadableTexts(void) {
  if (!readsAsWritten(settings.mainclass)) return false;
  for (int i = 0; i < settings.vmparam.count; ++i)
    if (!readsAsWritten(settings.vmparam.items[i])) return false;
  const TextList* classPath[] = {&settings.vmpath, &settings.vmjars};
  for (const TextList* list : classPath)
    for (int i = 0; i < list->count; ++i)
      if (!giveReadableEntry(&list->items[i])) return false;
  for (int i = 0; i < settings.arguments.count; ++i) giveReadableArgument(i);
  return true;
}
