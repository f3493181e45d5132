#include "config/line_reader.h"

#include <string.h>

static const char kCtrlZ = 0x1A;

void startLineReader(LineReader* reader, FileHandle file) {
  *reader = LineReader{};
  reader->file = file;
}

void finishLineReader(LineReader* reader) { textFree(&reader->content); }

static bool readWhole(LineReader* reader) {
  char chunk[4096];
  for (;;) {
    size_t got = platform.readFile(reader->file, chunk, sizeof chunk);
    if (got == kReadFailed) return false;
    if (got == 0) return true;
    textAppendPart(&reader->content, chunk, got);
  }
}

// True when the bytes hold non-ASCII text and every sequence is valid UTF-8:
// no stray or missing continuation byte, no overlong form, no surrogate,
// nothing beyond U+10FFFF.
static bool isUtf8BeyondAscii(const unsigned char* p, const unsigned char* end) {
  static const unsigned long kLeast[] = {0, 0x80, 0x800, 0x10000};
  bool beyondAscii = false;
  while (p < end) {
    unsigned char lead = *p++;
    if (lead < 0x80) continue;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (!extra || lead > 0xF4 || end - p < extra) return false;
    unsigned long point = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) return false;
      point = point << 6 | (*p & 0x3F);
    }
    if (point < kLeast[extra] || (point >= 0xD800 && point < 0xE000) || point > 0x10FFFF)
      return false;
    beyondAscii = true;
  }
  return beyondAscii;
}

static void appendUtf8(TextBuffer* text, unsigned long point) {
  char bytes[4];
  int count = point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
  for (int i = count - 1; i > 0; --i, point >>= 6) bytes[i] = (char)(0x80 | (point & 0x3F));
  bytes[0] = (char)(count == 1 ? point : (0xF00 >> count & 0xFF) | point);
  textAppendPart(text, bytes, count);
}

static unsigned long utf16UnitAt(const unsigned char* p, bool bigEndian) {
  return bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0];
}

// The UTF-16 text after its mark, in UTF-8. A surrogate without its partner
// becomes U+FFFD; an odd last byte is dropped.
static void utf16ToUtf8(const unsigned char* data, size_t length, bool bigEndian,
                        TextBuffer* text) {
  textAppendPart(text, "", 0);
  for (size_t i = 2; i + 1 < length; i += 2) {
    unsigned long unit = utf16UnitAt(data + i, bigEndian);
    unsigned long next = i + 3 < length ? utf16UnitAt(data + i + 2, bigEndian) : 0;
    if (unit >= 0xD800 && unit < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
      i += 2;
    }
    appendUtf8(text, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
  }
}

// Decides how the whole file is read, takes its mark, and finds where its
// text ends.
static void decideEncoding(LineReader* reader) {
  TextBuffer* content = &reader->content;
  textAppendPart(content, "", 0);
  const unsigned char* data = (const unsigned char*)content->data;
  bool bigEndian = content->length >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  bool littleEndian = content->length >= 2 && data[0] == 0xFF && data[1] == 0xFE;
  if (bigEndian || littleEndian) {
    TextBuffer utf8 = {};
    utf16ToUtf8(data, content->length, bigEndian, &utf8);
    textFree(content);
    *content = utf8;
  } else if (content->length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    reader->position = 3;
  }
  const char* ctrlZ = (const char*)memchr(content->data, kCtrlZ, content->length);
  reader->end = ctrlZ ? (size_t)(ctrlZ - content->data) : content->length;
  data = (const unsigned char*)content->data;
  reader->ansi = !bigEndian && !littleEndian && reader->position == 0 &&
                 !isUtf8BeyondAscii(data, data + reader->end);
}

// An ANSI line in UTF-8. Line feeds, carriage returns and Ctrl-Z are the same
// bytes in every ANSI code page and in UTF-8, so lines are split before this.
static void lineToUtf8(const LineReader* reader, TextBuffer* line) {
  if (!reader->ansi || textIsAscii(line->data)) return;
  char* converted = platform.ansiToUtf8(line->data);
  if (!converted) outOfMemory();
  line->length = 0;
  textAppend(line, converted);
  releaseMemory(converted);
}

bool readLine(LineReader* reader, TextBuffer* line) {
  line->length = 0;
  if (line->data) line->data[0] = '\0';
  if (!reader->loaded) {
    reader->loaded = true;
    reader->failed = !readWhole(reader);
    if (reader->failed) return false;
    decideEncoding(reader);
  }
  if (reader->failed || reader->position >= reader->end) return false;
  const char* start = reader->content.data + reader->position;
  const char* feed = (const char*)memchr(start, '\n', reader->end - reader->position);
  size_t length = feed ? (size_t)(feed - start) : reader->end - reader->position;
  reader->position += length + (feed ? 1 : 0);
  if (feed && length > 0 && start[length - 1] == '\r') --length;
  textAppendPart(line, start, length);
  lineToUtf8(reader, line);
  return true;
}
