#include "config/line_reader.h"

static const int kEndOfFile = -1;
static const char kCtrlZ = 0x1A;

void startLineReader(LineReader* reader, FileHandle file) {
  reader->file = file;
  reader->chunkLength = reader->chunkPosition = 0;
  reader->atEnd = false;
}

static int peekByte(LineReader* reader) {
  if (reader->atEnd) return kEndOfFile;
  if (reader->chunkPosition == reader->chunkLength) {
    reader->chunkLength = platform.readFile(reader->file, reader->chunk, sizeof reader->chunk);
    reader->chunkPosition = 0;
    if (reader->chunkLength == 0) {
      reader->atEnd = true;
      return kEndOfFile;
    }
  }
  char c = reader->chunk[reader->chunkPosition];
  if (c == kCtrlZ) {
    reader->atEnd = true;
    return kEndOfFile;
  }
  return (unsigned char)c;
}

static int nextByte(LineReader* reader) {
  int c = peekByte(reader);
  if (c != kEndOfFile) ++reader->chunkPosition;
  return c;
}

bool readLine(LineReader* reader, TextBuffer* line) {
  line->length = 0;
  if (line->data) line->data[0] = '\0';
  int c = nextByte(reader);
  if (c == kEndOfFile) return false;
  while (c != kEndOfFile && c != '\n') {
    if (c == '\r' && peekByte(reader) == '\n') {
      c = nextByte(reader);
      break;
    }
    textAppendChar(line, (char)c);
    c = nextByte(reader);
  }
  textAppendPart(line, "", 0);  // terminate even an empty line
  return true;
}
