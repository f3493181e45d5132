#include "launch/command_line.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// Counted in the ANSI code page, as the launcher always counted them: the
// bytes Java is given; a text that cannot be converted counts its own.
static int ansiLength(const char* text) {
  char* bytes = textIsAscii(text) ? nullptr : platform.ansiBytes(text);
  int length = (int)strlen(bytes ? bytes : text);
  releaseMemory(bytes);
  return length;
}

static int listLength(const TextList* list, int perEntry) {
  int total = 0;
  for (int i = 0; i < list->count; ++i) total += ansiLength(list->items[i]) + perEntry;
  return total;
}

static void appendJavaCommand(TextBuffer* line) {
  if (settings.javapathQuoted) textAppendChar(line, '"');
  textAppend(line, settings.javapath);
  if (settings.javapathQuoted) textAppendChar(line, '"');
}

char* javaCommandText(void) {
  TextBuffer command = {};
  appendJavaCommand(&command);
  return textRelease(&command);
}

int reservedCommandLineLength(void) {
  int quotes = settings.javapathQuoted ? 2 : 0;
  return ansiLength(settings.javapath) + quotes + 2 + ansiLength(settings.mainclass) + 2 +
         listLength(&settings.vmparam, 2) + listLength(&settings.vmpath, 2) +
         listLength(&settings.vmjars, 2) + listLength(&settings.arguments, 3) + 12;
}

// Program arguments are split by the C runtime of the started program:
//   - blanks and tabs separate arguments, unless they stand inside quotes;
//   - 2n backslashes before a double quote give n backslashes, and the quote
//     opens or closes a quoted part;
//   - 2n+1 backslashes before a double quote give n backslashes and a
//     literal double quote;
//   - backslashes anywhere else are literal.
// So an argument is quoted when it is empty, holds a blank or a tab, or is
// to be quoted all the same; each of its double quotes is escaped with a
// backslash (doubling the backslashes before it), and backslashes that end
// a quoted argument are doubled so the closing quote stays a quote. An
// argument with none of these goes in unchanged.
void appendQuotedArgument(TextBuffer* line, const char* argument, bool quoted) {
  quoted = quoted || *argument == '\0' || argument[strcspn(argument, " \t")] != '\0';
  if (quoted) textAppendChar(line, '"');
  size_t backslashes = 0;
  for (const char* p = argument; *p; ++p) {
    if (*p == '\\') {
      ++backslashes;
      continue;
    }
    for (size_t i = 0; i < backslashes * (*p == '"' ? 2 : 1); ++i) textAppendChar(line, '\\');
    backslashes = 0;
    if (*p == '"') textAppendChar(line, '\\');
    textAppendChar(line, *p);
  }
  for (size_t i = 0; i < backslashes * (quoted ? 2 : 1); ++i) textAppendChar(line, '\\');
  if (quoted) textAppendChar(line, '"');
}

// An entry with a double quote of its own stands as written; any other is
// quoted as an argument is ("lib/plugin (1).jar" in quotes), and the
// entries together make one argument: lib/a.jar;"lib/plugin (1).jar".
void appendClassPathOption(TextBuffer* line) {
  if (settings.vmpath.count + settings.vmjars.count == 0) return;  // Java's own default
  textAppend(line, "-classpath ");
  const TextList* lists[] = {&settings.vmpath, &settings.vmjars};
  const char* separator = "";
  for (const TextList* list : lists) {
    for (int i = 0; i < list->count; ++i) {
      textAppend(line, separator);
      if (strchr(list->items[i], '"'))
        textAppend(line, list->items[i]);
      else
        appendQuotedArgument(line, list->items[i], false);
      separator = ";";
    }
  }
  textAppendChar(line, ' ');
}

void appendVmOptions(TextBuffer* line) {
  for (int i = 0; i < settings.vmparam.count; ++i) {
    textAppend(line, settings.vmparam.items[i]);
    textAppendChar(line, ' ');
  }
}

static void appendProgramPart(TextBuffer* line) {
  textAppend(line, settings.mainclass);
  if (settings.arguments.count > 0) textAppendChar(line, ' ');
  for (int i = 0; i < settings.arguments.count; ++i) {
    appendQuotedArgument(line, settings.arguments.items[i], argumentQuoted(i));
    textAppendChar(line, ' ');
  }
}

char* buildCommandLine(void) {
  // Counting spells each text in the code page: only for the trace.
  if (settings.debug) debugTraceLine("cmdLine is %d chars long\n", reservedCommandLineLength());

  TextBuffer line = {};
  appendJavaCommand(&line);
  textAppendChar(&line, ' ');
  appendVmOptions(&line);
  appendClassPathOption(&line);
  appendProgramPart(&line);
  return textRelease(&line);
}

char* buildArgumentFileCommandLine(const char* lineOptions, const char* argumentFile) {
  TextBuffer line = {};
  appendJavaCommand(&line);
  textAppendChar(&line, ' ');
  textAppend(&line, lineOptions);
  char* option = formatText("@%s", argumentFile);
  appendQuotedArgument(&line, option, false);
  releaseMemory(option);
  textAppendChar(&line, ' ');
  appendProgramPart(&line);
  return textRelease(&line);
}
