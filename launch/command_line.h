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

// The JVM options and the class path as they stand in the command line
// between the Java command and the main class, each followed by a blank.
void appendJavaOptions(TextBuffer* line);

// The command line with the JVM options and the class path replaced by
// "@argumentFile" (quoted as a program argument is): for Java to read them
// from that file.
char* buildArgumentFileCommandLine(const char* argumentFile);

#endif
