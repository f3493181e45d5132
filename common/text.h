// Heap texts and a growable text buffer. Every text is a heap copy with one
// owner: whoever made it, or whoever it was handed to, releases it. Nothing
// here has a length limit.
#ifndef CORVANE_COMMON_TEXT_H
#define CORVANE_COMMON_TEXT_H

#include <stdarg.h>
#include <stddef.h>

// Lets the compiler check a printf-like function's arguments against its
// format, so that a width that differs between the 32- and 64-bit builds
// (a size_t for %d, say) is caught in both.
#define CORVANE_PRINTF(string, first) __attribute__((format(printf, string, first)))

struct TextBuffer {
  char* data;  // always NUL-terminated once anything was appended
  size_t length;
  size_t capacity;
};

// The heap, through the platform table's memory entries. Allocation cannot
// fail: on exhaustion the process ends (outOfMemory).
void* allocateOrDie(size_t size);
void* reallocateOrDie(void* block, size_t size);
// Gives back a block from above, or a heap text a platform entry handed out;
// NULL is ignored.
void releaseMemory(void* block);
[[noreturn]] void outOfMemory(void);

char* copyText(const char* text);
char* copyTextPart(const char* text, size_t length);

void textAppend(TextBuffer* buffer, const char* text);
void textAppendPart(TextBuffer* buffer, const char* text, size_t length);
void textAppendChar(TextBuffer* buffer, char c);
// printf-like, for the directives the launcher's texts use: %s (NULL prints
// "(null)"), %d, %u and %lu. Any other is kept as written and takes no argument.
void textAppendFormatList(TextBuffer* buffer, const char* format, va_list arguments);
// Hands the text over to the caller (never NULL) and empties the buffer.
char* textRelease(TextBuffer* buffer);
void textFree(TextBuffer* buffer);

// A heap text made from a format, as textAppendFormatList fills it.
char* formatText(const char* format, ...) CORVANE_PRINTF(1, 2);

// A decimal number of up to 32 bits, maybe negative (then *value is its
// 32-bit two's complement, as Windows shows a negative exit status): digits
// alone, after a '-' or not. False for anything else.
bool parseWholeNumber(const char* text, unsigned long* value);

bool textIsEmpty(const char* text);  // absent or of length zero
bool textStartsWith(const char* text, const char* prefix);
// textStartsWith with ASCII letters compared without regard to case (the
// bytes of every other character as they are).
bool textStartsWithFolded(const char* text, const char* prefix);
// Whether a and b are the same text apart from the case of ASCII letters.
bool textEqualsFolded(const char* a, const char* b);
// Only bytes below 0x80: every ANSI code page and UTF-8 spell such a text alike.
bool textIsAscii(const char* text);
// The length Windows counts: one UTF-16 unit for each character of the UTF-8
// text, two for one beyond U+FFFF (a four-byte sequence).
size_t textUtf16Length(const char* text);

#endif
