#include "common/text.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "platform/platform.h"

void outOfMemory(void) {
  reportOutOfMemory();
  endProcess(kExitOutOfMemory);
}

void* allocateOrDie(size_t size) {
  void* block = platform.allocate(size ? size : 1);
  if (!block) outOfMemory();
  return block;
}

void* reallocateOrDie(void* block, size_t size) {
  void* grown = platform.reallocate(block, size ? size : 1);
  if (!grown) outOfMemory();
  return grown;
}

void releaseMemory(void* block) {
  if (block) platform.release(block);
}

char* copyTextPart(const char* text, size_t length) {
  char* copy = static_cast<char*>(allocateOrDie(length + 1));
  memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

char* copyText(const char* text) { return copyTextPart(text, strlen(text)); }

static void reserve(TextBuffer* buffer, size_t extra) {
  if (extra > (size_t)-1 - buffer->length - 1) outOfMemory();
  size_t needed = buffer->length + extra + 1;
  if (needed <= buffer->capacity) return;
  size_t capacity = buffer->capacity ? buffer->capacity : 64;
  while (capacity < needed) capacity = capacity > (size_t)-1 / 2 ? needed : capacity * 2;
  buffer->data = static_cast<char*>(reallocateOrDie(buffer->data, capacity));
  buffer->capacity = capacity;
  buffer->data[buffer->length] = '\0';
}

void textAppendPart(TextBuffer* buffer, const char* text, size_t length) {
  reserve(buffer, length);
  memcpy(buffer->data + buffer->length, text, length);
  buffer->length += length;
  buffer->data[buffer->length] = '\0';
}

void textAppend(TextBuffer* buffer, const char* text) {
  textAppendPart(buffer, text, strlen(text));
}

// Most text is built a character at a time: room for one more is checked
// here, and only a full buffer grows.
void textAppendChar(TextBuffer* buffer, char c) {
  if (buffer->length + 2 > buffer->capacity) reserve(buffer, 1);
  buffer->data[buffer->length++] = c;
  buffer->data[buffer->length] = '\0';
}

// The directives' numbers are of at most 32 bits on Windows, where an
// unsigned long is as wide as an int: a 64-bit division would bring the
// 32-bit exe a helper of the compiler's library.
static void textAppendNumber(TextBuffer* buffer, bool negative, unsigned long magnitude) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (negative) textAppendChar(buffer, '-');
  while (count) textAppendChar(buffer, digits[--count]);
}

void textAppendFormatList(TextBuffer* buffer, const char* format, va_list arguments) {
  for (const char* p = format; *p; ++p) {
    if (*p != '%' || !p[1]) {
      size_t literal = strcspn(p + 1, "%") + 1;  // up to the next directive, in one piece
      textAppendPart(buffer, p, literal);
      p += literal - 1;
      continue;
    }
    ++p;
    if (*p == 's') {
      const char* text = va_arg(arguments, const char*);
      textAppend(buffer, text ? text : "(null)");
    } else if (*p == 'd') {
      int number = va_arg(arguments, int);
      textAppendNumber(buffer, number < 0, number < 0 ? 0UL - (unsigned long)number : number);
    } else if (*p == 'u') {
      textAppendNumber(buffer, false, va_arg(arguments, unsigned));
    } else if (*p == 'l' && p[1] == 'u') {
      textAppendNumber(buffer, false, va_arg(arguments, unsigned long));
      ++p;
    } else {  // not a directive we know: kept as written, taking no argument
      textAppendChar(buffer, '%');
      textAppendChar(buffer, *p);
    }
  }
  reserve(buffer, 0);  // an empty result is still a terminated text
}

char* textRelease(TextBuffer* buffer) {
  reserve(buffer, 0);
  char* text = buffer->data;
  buffer->data = nullptr;
  buffer->length = buffer->capacity = 0;
  return text;
}

void textFree(TextBuffer* buffer) {
  releaseMemory(buffer->data);
  buffer->data = nullptr;
  buffer->length = buffer->capacity = 0;
}

char* formatText(const char* format, ...) {
  TextBuffer buffer = {};
  va_list arguments;
  va_start(arguments, format);
  textAppendFormatList(&buffer, format, arguments);
  va_end(arguments);
  return textRelease(&buffer);
}

// In 32-bit arithmetic: 64-bit multiplication would bring the 32-bit exe a
// helper of the compiler's library.
bool parseWholeNumber(const char* text, unsigned long* value) {
  bool negative = *text == '-';
  const char* digit = text + negative;
  unsigned long number = 0;
  bool fits = *digit != '\0';
  for (; fits && *digit >= '0' && *digit <= '9'; ++digit) {
    unsigned long next = (unsigned long)(*digit - '0');
    fits = number <= (0xFFFFFFFFul - next) / 10;
    number = number * 10 + next;
  }
  *value = (negative ? 0 - number : number) & 0xFFFFFFFFul;  // where a long is wider
  return fits && *digit == '\0' && (!negative || number <= 0x80000000ul);
}

bool textIsEmpty(const char* text) { return !text || !*text; }

bool textStartsWith(const char* text, const char* prefix) {
  while (*prefix && *text == *prefix) ++text, ++prefix;
  return *prefix == '\0';
}

static char foldedLetter(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 'a' - 'A') : c; }

bool textStartsWithFolded(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (foldedLetter(*text) != foldedLetter(*prefix)) return false;
  return true;
}

bool textEqualsFolded(const char* a, const char* b) {
  return textStartsWithFolded(a, b) && a[strlen(b)] == '\0';
}

bool textIsAscii(const char* text) {
  while (*text && (unsigned char)*text < 0x80) ++text;
  return *text == '\0';
}

size_t textUtf16Length(const char* text) {
  size_t length = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p)
    length += (*p & 0xC0) != 0x80 ? (*p >= 0xF0 ? 2 : 1) : 0;
  return length;
}
