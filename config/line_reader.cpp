#include "config/line_reader.h"

static const int kEndOfFile = -1;
static const char kCtrlZ = 0x1A;

void startLineReader(LineReader* reader, FileHandle file) {
  reader->file = file;
  reader->chunkLength = reader->chunkPosition = 0;
  reader->atEnd = reader->failed = reader->started = reader->utf8 = false;
}

static int peekByte(LineReader* reader) {
  if (reader->atEnd) return kEndOfFile;
  if (reader->chunkPosition == reader->chunkLength) {
    reader->chunkLength = platform.readFile(reader->file, reader->chunk, sizeof reader->chunk);
    reader->chunkPosition = 0;
    if (reader->chunkLength == kReadFailed) {
      reader->chunkLength = 0;
      reader->failed = true;
    }
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

// Takes the byte order mark at the start of the file. Bytes that only begin
// one are the start of the first line.
static void takeByteOrderMark(LineReader* reader, TextBuffer* line) {
  static const char kMark[] = "\xEF\xBB\xBF";
  size_t matched = 0;
  while (matched < 3 && peekByte(reader) == (unsigned char)kMark[matched]) {
    nextByte(reader);
    ++matched;
  }
  reader->started = true;
  reader->utf8 = matched == 3;
  if (!reader->utf8) textAppendPart(line, kMark, matched);
}

// An ANSI line in UTF-8. Line feeds, carriage returns and Ctrl-Z are the same
// bytes in every ANSI code page and in UTF-8, so lines are split before this.
static void lineToUtf8(const LineReader* reader, TextBuffer* line) {
  if (reader->utf8 || textIsAscii(line->data)) return;
  char* converted = platform.ansiToUtf8(line->data);
  if (!converted) outOfMemory();
  line->length = 0;
  textAppend(line, converted);
  releaseMemory(converted);
}

bool readLine(LineReader* reader, TextBuffer* line) {
  line->length = 0;
  if (line->data) line->data[0] = '\0';
  if (!reader->started) takeByteOrderMark(reader, line);
  int c = nextByte(reader);
  if (c == kEndOfFile && line->length == 0) return false;
  while (c != kEndOfFile && c != '\n') {
    if (c == '\r' && peekByte(reader) == '\n') {
      c = nextByte(reader);
      break;
    }
    textAppendChar(line, (char)c);
    c = nextByte(reader);
  }
  if (reader->failed) return false;
  textAppendPart(line, "", 0);  // terminate even an empty line
  lineToUtf8(reader, line);
  return true;
}
