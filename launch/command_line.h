// Assembly of the Java command line from the settings.
#ifndef CORVANE_LAUNCH_COMMAND_LINE_H
#define CORVANE_LAUNCH_COMMAND_LINE_H

#include "common/text.h"

// The room the command line is reserved with, by the launcher's long-standing
// count (shown by the debug trace): every piece's length plus its separators.
int reservedCommandLineLength(void);

// Returns the command line (heap text, owned by the caller). Needs javapath
// and mainclass to be present.
char* buildCommandLine(void);

// Appends one program argument so that the C runtime's argument splitting
// gives back exactly its text.
void appendQuotedArgument(TextBuffer* line, const char* argument);

#endif
