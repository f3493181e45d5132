// Reads a file line by line the way the C runtime's text mode presents it:
// a carriage return right before a line feed is dropped, and a Ctrl-Z byte
// ends the file. Lines have no length limit.
// A file is written in the ANSI code page unless it begins with the UTF-8
// byte order mark, which is then not part of the first line; either way its
// lines come out in UTF-8.
#ifndef CORVANE_CONFIG_LINE_READER_H
#define CORVANE_CONFIG_LINE_READER_H

#include <stddef.h>

#include "common/text.h"
#include "platform/platform.h"

struct LineReader {
  FileHandle file;
  char chunk[4096];
  size_t chunkLength;
  size_t chunkPosition;
  bool atEnd;
  bool failed;   // a read failed: the file ended early
  bool started;  // the byte order mark was looked for
  bool utf8;     // the file began with it
};

void startLineReader(LineReader* reader, FileHandle file);
// Puts the next line into *line, without its line feed. Returns false when
// the file has no more lines, or when a read failed (reader->failed), and
// then the line it was in is dropped: it may have been cut anywhere.
bool readLine(LineReader* reader, TextBuffer* line);

#endif
