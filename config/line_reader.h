// Reads a file line by line the way the C runtime's text mode presents it:
// a carriage return right before a line feed is dropped, and a Ctrl-Z byte
// ends the file. Lines have no length limit.
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
};

void startLineReader(LineReader* reader, FileHandle file);
// Puts the next line into *line, without its line feed. Returns false when
// the file has no more lines.
bool readLine(LineReader* reader, TextBuffer* line);

#endif
