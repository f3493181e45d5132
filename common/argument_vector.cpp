#include "common/argument_vector.h"

#include <stddef.h>

#include "common/text.h"
#include "platform/platform.h"

static bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Appends a byte to the argument's text; out is NULL while only counting.
static void put(ScannedArgument* argument, char* out, char c) {
  if (out) out[argument->length] = c;
  ++argument->length;
}

static ScannedArgument scanProgramName(const char* p, char* out) {
  ScannedArgument name = {p, 0, false};
  bool inQuotes = false;
  for (; *p && (inQuotes || !isBlank(*p)); ++p) {
    if (*p == '"') {
      inQuotes = !inQuotes;
      name.quoted = true;
    } else {
      put(&name, out, *p);
    }
  }
  name.rest = p;
  return name;
}

ScannedArgument scanArgument(const char* p, char* out, bool doubledQuoteEndsPart) {
  ScannedArgument argument = {p, 0, false};
  bool inQuotes = false;
  for (;;) {
    size_t backslashes = 0;
    while (*p == '\\') ++backslashes, ++p;
    bool copied = true;  // the byte at p goes into the text
    if (*p == '"' && backslashes % 2 == 0) {
      argument.quoted = true;
      bool doubled = inQuotes && p[1] == '"';
      if (doubled)
        ++p;  // "" inside a quoted part: the second quote is the text's
      else
        copied = false;
      if (!doubled || doubledQuoteEndsPart) inQuotes = !inQuotes;
    }
    if (*p == '"') backslashes /= 2;
    while (backslashes--) put(&argument, out, '\\');
    if (!*p || (!inQuotes && isBlank(*p))) break;
    if (copied) put(&argument, out, *p);
    ++p;
  }
  argument.rest = p;
  return argument;
}

// Reads the line's arguments in order. With a block to fill (out), each
// text goes there after the one before, terminated, and values and quoted
// get their entries. Returns the count; *bytes is what the texts take.
static int readArguments(const char* line, char** values, bool* quoted, char* out,
                         size_t* bytes) {
  int count = 0;
  size_t used = 0;
  for (const char* p = line;; ++count) {
    if (count > 0) {
      while (isBlank(*p)) ++p;
      if (!*p) break;
    }
    char* text = out ? out + used : nullptr;
    ScannedArgument argument = count == 0 ? scanProgramName(p, text) : scanArgument(p, text, true);
    if (out) {
      text[argument.length] = '\0';
      values[count] = text;
      quoted[count] = argument.quoted;
    }
    used += argument.length + 1;
    p = argument.rest;
  }
  *bytes = used;
  return count;
}

ArgumentVector splitCommandLine(const char* line) {
  size_t bytes = 0;
  int count = readArguments(line, nullptr, nullptr, nullptr, &bytes);
  size_t pointers = sizeof(char*) * (count + 1);
  char* block = static_cast<char*>(allocateOrDie(pointers + bytes + count));
  ArgumentVector vector = {count, reinterpret_cast<char**>(block),
                           reinterpret_cast<bool*>(block + pointers + bytes)};
  readArguments(line, vector.values, vector.quoted, block + pointers, &bytes);
  vector.values[count] = nullptr;
  return vector;
}

ArgumentVector commandLineArguments(void) {
  char* line = platform.commandLine();
  if (!line) outOfMemory();
  ArgumentVector vector = splitCommandLine(line);
  releaseMemory(line);
  return vector;
}
