// The end of what Java wrote to its standard error, kept as it is read, for
// the box that reports a failed end: the reason is almost always there.
#ifndef CORVANE_LAUNCH_ERROR_TAIL_H
#define CORVANE_LAUNCH_ERROR_TAIL_H

#include <stddef.h>

enum {
  kErrorTailBytes = 8192,  // kept: more than the lines shown take in any code page
  kErrorTailLines = 12,    // shown at most
  kErrorTailUnits = 1500,  // characters (UTF-16 units) shown at most
};

struct ErrorTail {
  char bytes[kErrorTailBytes];  // the last ones written, in the ANSI code page
  size_t kept;
  bool cut;  // bytes before the kept ones were dropped
};

// Keeps the last of the bytes written so far.
void keepErrorTail(ErrorTail* tail, const char* bytes, size_t count);

// The last lines, whole, at most kErrorTailLines of them and kErrorTailUnits
// characters with their line breaks, as a UTF-8 heap text. When the last
// line alone is longer, its start and "...". NULL when nothing but
// blank lines was written, or the code page's text could not be converted.
char* errorTailLines(const ErrorTail* tail);

#endif
