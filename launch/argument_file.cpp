#include "launch/argument_file.h"

#include <string.h>

#include "common/argument_vector.h"
#include "common/diagnostics.h"
#include "common/text.h"
#include "launch/command_line.h"
#include "launch/spellable_paths.h"
#include "platform/platform.h"

// The next argument of a command line as the started program's C runtime
// takes it (see appendQuotedArgument in command_line.cpp), with "" inside
// quotes for one quote, as Java's own launcher reads it (heap text); NULL at
// the end.
static char* takeArgument(const char** cursor) {
  const char* c = *cursor;
  while (*c == ' ' || *c == '\t') ++c;
  if (!*c) return nullptr;
  ScannedArgument scanned = scanArgument(c, nullptr, false);
  char* argument = static_cast<char*>(allocateOrDie(scanned.length + 1));
  scanArgument(c, argument, false);
  argument[scanned.length] = '\0';
  *cursor = scanned.rest;
  return argument;
}

// Java reads an argument file byte by byte, in the ANSI code page, by these
// rules:
//   - blanks, tabs, form feeds and line breaks separate tokens;
//   - ' or " opens a quoted part, which the same character closes; inside
//     it the other quote character and the separators are plain characters;
//     quoted and plain parts side by side make one token;
//   - inside quotes a backslash escapes what follows: \n, \r, \t and \f are
//     those characters, a backslash before a line break joins the lines, any
//     other character stands for itself (\\ a backslash, \" a double quote);
//   - outside quotes a backslash is a plain character;
//   - a # outside quotes starts a comment that runs to the end of the line.
// So a token without separators, quotes and # is written as it is, its
// backslashes included: a Windows path reads back exactly; but not one that
// ends in a backslash byte, which would stand before the line break. Any
// other token, and an empty one, is written in double quotes, with each
// backslash and double quote byte escaped (also the second byte of a
// double-byte character, as 0x5C is in 932's ソ) and each separator other
// than the blank written as its escape. Each token stands on a line of its
// own. bytes are the token's in the code page.
static void appendToken(TextBuffer* file, const char* bytes) {
  size_t length = strlen(bytes);
  if (length && bytes[strcspn(bytes, " \t\f\r\n\"'#")] == '\0' && bytes[length - 1] != '\\') {
    textAppend(file, bytes);
    textAppendChar(file, '\n');
    return;
  }
  static const char kEscaped[] = "\\\"\t\f\r\n";
  static const char kEscapes[] = "\\\"tfrn";  // what follows the backslash for each
  textAppendChar(file, '"');
  for (const char* c = bytes; *c; ++c) {
    const char* escaped = strchr(kEscaped, *c);
    if (escaped) textAppendChar(file, '\\');
    textAppendChar(file, escaped ? kEscapes[escaped - kEscaped] : *c);
  }
  textAppend(file, "\"\n");
}

// The token in the bytes Java reads it in: ASCII is the same in every code page.
static void appendTokenBytes(TextBuffer* file, const char* token) {
  if (textIsAscii(token)) {
    appendToken(file, token);
    return;
  }
  char* bytes = platform.ansiBytes(token);
  if (!bytes) outOfMemory();
  appendToken(file, bytes);
  releaseMemory(bytes);
}

// How many of the options' first arguments Java must read from the command
// line: up to the last "@file", which Java expands only there.
static int argumentsUpToLastFile(const char* options) {
  int count = 0, kept = 0;
  const char* cursor = options;
  for (char* argument; (argument = takeArgument(&cursor)); releaseMemory(argument)) {
    ++count;
    if (argument[0] == '@') kept = count;
  }
  return kept;
}

// Each argument that the options would have been on the command line goes
// to the line (the first kept of them) or becomes one token of the file, so
// that Java receives the same ones, in the same order.
static void splitOptions(const char* options, int kept, TextBuffer* line, TextBuffer* file) {
  const char* cursor = options;
  for (char* argument; (argument = takeArgument(&cursor)); releaseMemory(argument)) {
    if (kept-- > 0) {
      appendQuotedArgument(line, argument, false);
      textAppendChar(line, ' ');
    } else {
      appendTokenBytes(file, argument);
    }
  }
}

// The file's bytes; *lineOptions gets the JVM options up to the last "@file"
// among them, which Java expands from the command line alone (an "@file" in
// an argument file is not expanded): they stay there, before the file.
static char* argumentFileText(char** lineOptions) {
  TextBuffer vmOptions = {}, classPath = {}, line = {}, file = {};
  textAppendPart(&vmOptions, "", 0);
  textAppendPart(&classPath, "", 0);
  appendVmOptions(&vmOptions);
  appendClassPathOption(&classPath);
  splitOptions(vmOptions.data, argumentsUpToLastFile(vmOptions.data), &line, &file);
  splitOptions(classPath.data, 0, &line, &file);
  textFree(&vmOptions);
  textFree(&classPath);
  *lineOptions = textRelease(&line);
  return textRelease(&file);
}

// A name drawn at random meets a file that is there only when someone put
// it there; another is drawn, a few times.
static const int kNameDraws = 8;

static void createArgumentFile(ArgumentFile* file, const char* text, unsigned long* errorCode) {
  for (int draw = 0; draw < kNameDraws; ++draw) {
    file->held = platform.writeTemporaryFile(text, &file->path, errorCode);
    if (file->held || *errorCode != kErrorFileExists) return;
  }
}

char* writeArgumentFile(ArgumentFile* file, char** lineOptions, unsigned long* errorCode) {
  removeArgumentFile(file);
  char* text = argumentFileText(lineOptions);
  createArgumentFile(file, text, errorCode);
  char* forJava = file->held ? pathJavaCanOpen(file->path) : nullptr;
  if (forJava) {
    debugTraceLine("argument file %s, %u bytes\n", forJava, (unsigned)strlen(text));
  } else {
    if (file->held) *errorCode = 0;
    removeArgumentFile(file);
    releaseMemory(*lineOptions);
    *lineOptions = nullptr;
  }
  releaseMemory(text);
  return forJava;
}

void removeArgumentFile(ArgumentFile* file) {
  if (!file->held) return;
  platform.closeTemporaryFile(file->held);
  platform.removeFile(file->path);
  releaseMemory(file->path);
  *file = ArgumentFile{};
}
