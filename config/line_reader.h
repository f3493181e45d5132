// Reads a file line by line the way the C runtime's text mode presents it:
// a carriage return right before a line feed is dropped, and a Ctrl-Z ends
// the file. Lines have no length limit, and come out in UTF-8.
// The file is read whole before its first line is given, so that one
// encoding holds for all of it:
//   - after the UTF-8 byte order mark, UTF-8;
//   - after a UTF-16 one (FF FE, little-endian, as Windows PowerShell 5.1
//     writes; FE FF, big-endian), UTF-16;
//   - without a mark, UTF-8 when the file holds non-ASCII text and all of it
//     is valid UTF-8 (as Notepad saves since Windows 10 1903), else the ANSI
//     code page, in which text with non-ASCII bytes is almost never valid
//     UTF-8.
// A mark is not part of the first line.
#ifndef CORVANE_CONFIG_LINE_READER_H
#define CORVANE_CONFIG_LINE_READER_H

#include <stddef.h>

#include "common/text.h"
#include "platform/platform.h"

struct LineReader {
  FileHandle file;
  TextBuffer content;  // the file once read, UTF-16 as UTF-8
  size_t position;     // of the next line in content
  size_t end;          // where the text ends: its first Ctrl-Z, or its length
  bool loaded;         // content holds the file
  bool failed;         // a read failed: the file ended early
  bool ansi;           // content is in the ANSI code page
};

void startLineReader(LineReader* reader, FileHandle file);
// Puts the next line into *line, without its line feed. Returns false when
// the file has no more lines, or when a read failed (reader->failed), and
// then no line of the file is given.
bool readLine(LineReader* reader, TextBuffer* line);
// Gives back what the reader holds; the file stays open.
void finishLineReader(LineReader* reader);

#endif
