// The launcher's argument vector, split from its command line by the rules
// of the C runtime it links with (msvcrt.dll), which split it before the
// launcher had an entry of its own.
#ifndef CORVANE_COMMON_ARGUMENT_VECTOR_H
#define CORVANE_COMMON_ARGUMENT_VECTOR_H

#include <stddef.h>

struct ArgumentVector {
  int count;
  char** values;  // count texts, then NULL
  // For each argument: a double quote that acted as a quote (not one written
  // as \") took part in it, so that its caller quoted what it holds.
  bool* quoted;
};

// The program name (values[0]) runs to the first blank or tab outside
// quotes; its quotes open and close quoted parts and are dropped, and its
// backslashes are plain characters. Every later argument: blanks and tabs
// separate arguments outside quoted parts; 2n backslashes before a double
// quote give n backslashes, and the quote opens or closes a quoted part;
// 2n+1 give n backslashes and a literal quote; other backslashes are
// literal. Inside a quoted part, "" gives a literal quote and closes the
// part. An empty line gives an empty program name. The UTF-8 text is split
// byte by byte: no byte of a multi-byte character is a blank, a quote or a
// backslash. values, the texts and quoted are one heap block, given back by
// releasing values.
ArgumentVector splitCommandLine(const char* line);

// One argument as read: where the line goes on after it, the length of its
// text and whether a quote acted in it.
struct ScannedArgument {
  const char* rest;
  size_t length;
  bool quoted;
};

// Reads one argument after the program name by the rules above, from p (its
// first byte, not a blank) to the blank or the end after it; its text (not
// terminated) goes to out, or is only counted when out is NULL. Java's own
// launcher reads "" inside a quoted part as a quote that leaves the part
// open: doubledQuoteEndsPart false reads by that rule.
ScannedArgument scanArgument(const char* p, char* out, bool doubledQuoteEndsPart);

// The process's own arguments: its command line (from the platform table),
// split.
ArgumentVector commandLineArguments(void);

#endif
