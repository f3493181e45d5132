// The launcher's three channels: message boxes, trace lines on standard
// output, and error lines on standard error. Every user-visible text goes
// through here, so that debug mode is decided in one place.
#ifndef CORVANE_COMMON_DIAGNOSTICS_H
#define CORVANE_COMMON_DIAGNOSTICS_H

// A message box whose text is formed from format; returns the answer.
int showMessage(const char* caption, unsigned style, const char* format, ...);
// In debug mode only: an OK box showing a value.
void debugMessage(const char* caption, const char* format, ...);
// In debug mode only: a box with the error icon (registry diagnostics).
void debugErrorMessage(const char* caption, const char* format, ...);

void traceLine(const char* format, ...);       // standard output, always
void debugTraceLine(const char* format, ...);  // standard output, debug mode only
void errorLine(const char* format, ...);       // standard error, always

#endif
