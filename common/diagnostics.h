// The launcher's three channels: message boxes, trace lines, and error lines
// on standard error. Every user-visible text goes through here, so that
// debug mode and the launcher's variant are decided in one place: the GUI
// launcher shows boxes and writes its trace lines on standard output; the
// console launcher never shows a box (it writes the caption, then the text,
// on standard error), writes its trace lines on standard error, and leaves
// standard output to Java. The service launcher speaks as the console
// launcher does, to a standard error that is its log.
#ifndef CORVANE_COMMON_DIAGNOSTICS_H
#define CORVANE_COMMON_DIAGNOSTICS_H

#include "common/launcher_variant.h"
#include "common/text.h"

// Which launcher the channels speak for; the GUI launcher's until told.
void openDiagnostics(LauncherVariant variant);

// The seam between the launcher and its user: a message box with text, or,
// in the console launcher, "caption: text" on standard error; returns the
// answer (the console launcher answers No to a question, and waits for no
// one). Allocates nothing, so that running out of memory can be told too.
int showText(const char* caption, unsigned style, const char* text);
// showText with a text formed from format.
int showMessage(const char* caption, unsigned style, const char* format, ...)
    CORVANE_PRINTF(3, 4);
// showMessage with the caption "Error" and the error icon.
void showError(const char* format, ...) CORVANE_PRINTF(1, 2);
// In debug mode only: an OK box showing a value.
void debugMessage(const char* caption, const char* format, ...) CORVANE_PRINTF(2, 3);
// In debug mode only: a box with the error icon (registry diagnostics).
void debugErrorMessage(const char* caption, const char* format, ...) CORVANE_PRINTF(2, 3);

// Offers a web page after text: a Yes/No box that asks question, true for
// Yes. The console launcher cannot ask: it writes the page's address instead
// of the question (nothing when page is NULL) and returns false.
bool askToOpenPage(const char* caption, const char* text, const char* question, const char* page);

// "Out of memory" on standard error and in a box; the console launcher's one
// line says it. Allocates nothing.
void reportOutOfMemory(void);

// Trace lines: on standard output in the GUI launcher; on standard error in
// the console launcher, and there only in debug mode, so that a tool run
// without -d adds nothing of the launcher's own to either stream.
void traceLine(const char* format, ...) CORVANE_PRINTF(1, 2);       // always (see above)
void debugTraceLine(const char* format, ...) CORVANE_PRINTF(1, 2);  // debug mode only
void errorLine(const char* format, ...) CORVANE_PRINTF(1, 2);       // standard error, always

#endif
