// The launcher's three channels: message boxes, trace lines on standard
// output, and error lines on standard error. Every user-visible text goes
// through here, so that debug mode is decided in one place.
#ifndef CORVANE_COMMON_DIAGNOSTICS_H
#define CORVANE_COMMON_DIAGNOSTICS_H

#include "common/text.h"

// A message box whose text is formed from format; returns the answer.
int showMessage(const char* caption, unsigned style, const char* format, ...)
    CORVANE_PRINTF(3, 4);
// In debug mode only: an OK box showing a value.
void debugMessage(const char* caption, const char* format, ...) CORVANE_PRINTF(2, 3);
// In debug mode only: a box with the error icon (registry diagnostics).
void debugErrorMessage(const char* caption, const char* format, ...) CORVANE_PRINTF(2, 3);

void traceLine(const char* format, ...) CORVANE_PRINTF(1, 2);       // standard output, always
void debugTraceLine(const char* format, ...) CORVANE_PRINTF(1, 2);  // standard output, debug mode only
void errorLine(const char* format, ...) CORVANE_PRINTF(1, 2);       // standard error, always

#endif
