#include "launch/error_tail.h"

#include <string.h>

#include "common/text.h"
#include "platform/platform.h"

void keepErrorTail(ErrorTail* tail, const char* bytes, size_t count) {
  if (count > kErrorTailBytes) {
    bytes += count - kErrorTailBytes;
    count = kErrorTailBytes;
    tail->cut = true;
  }
  size_t dropped = tail->kept + count > kErrorTailBytes ? tail->kept + count - kErrorTailBytes : 0;
  tail->cut = tail->cut || dropped > 0;
  memmove(tail->bytes, tail->bytes + dropped, tail->kept - dropped);
  memcpy(tail->bytes + tail->kept - dropped, bytes, count);
  tail->kept += count - dropped;
}

// UTF-16 units of the UTF-8 text from begin to end, carriage returns left out.
static size_t unitsOf(const char* begin, const char* end) {
  size_t units = 0;
  for (const unsigned char* p = (const unsigned char*)begin; p < (const unsigned char*)end; ++p)
    units += (*p != '\r' && (*p & 0xC0) != 0x80) + (*p >= 0xF0);
  return units;
}

static const char* lineStart(const char* text, const char* lineEnd) {
  while (lineEnd > text && lineEnd[-1] != '\n') --lineEnd;
  return lineEnd;
}

// The kept bytes as a text: a NUL would end it early, and is shown as a
// blank; a first line whose start was dropped is left out (but when it is
// the only one).
static char* keptText(const ErrorTail* tail) {
  const char* start = tail->bytes;
  const char* end = tail->bytes + tail->kept;
  const char* lineBreak = tail->cut ? (const char*)memchr(start, '\n', tail->kept) : nullptr;
  if (lineBreak && lineBreak + 1 < end) start = lineBreak + 1;
  char* text = copyTextPart(start, end - start);
  for (size_t i = 0; i < (size_t)(end - start); ++i)
    if (text[i] == '\0') text[i] = ' ';
  return text;
}

// The last line cut to its first characters (as many as bytes of UTF-8 fit
// in the limit, so never more than it allows), with "..." for the rest.
static char* cutLine(const char* line) {
  size_t length = kErrorTailUnits - 3;
  while ((line[length] & 0xC0) == 0x80) --length;  // not inside a character
  TextBuffer cut = {};
  textAppendPart(&cut, line, length);
  textAppend(&cut, "...");
  return textRelease(&cut);
}

// The lines that fit, from the last one back, without carriage returns.
static char* lastLines(const char* text, const char* end) {
  const char* start = end;  // of the lines taken
  size_t units = 0;
  for (int lines = 0; lines < kErrorTailLines && (lines == 0 || start > text); ++lines) {
    const char* lineEnd = lines == 0 ? end : start - 1;  // before the line break between
    const char* line = lineStart(text, lineEnd);
    size_t more = unitsOf(line, lineEnd) + (lines > 0);
    if (units + more > kErrorTailUnits) break;
    units += more;
    start = line;
  }
  if (start == end) return cutLine(lineStart(text, end));
  TextBuffer shown = {};
  for (const char* p = start; p < end; ++p)
    if (*p != '\r') textAppendChar(&shown, *p);
  return textRelease(&shown);
}

char* errorTailLines(const ErrorTail* tail) {
  char* ansi = keptText(tail);
  char* text = platform.ansiToUtf8(ansi);
  releaseMemory(ansi);
  if (!text) return nullptr;
  const char* end = text + strlen(text);
  while (end > text && strchr("\r\n\t ", end[-1])) --end;
  char* lines = end > text ? lastLines(text, end) : nullptr;
  releaseMemory(text);
  return lines;
}
