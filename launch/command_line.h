// Assembly of the Java command line from the settings.
#ifndef CORVANE_LAUNCH_COMMAND_LINE_H
#define CORVANE_LAUNCH_COMMAND_LINE_H

#include "common/text.h"

// The command line's length by the launcher's long-standing count, which
// the debug trace shows: every piece's length in the ANSI code page plus its
// separators. Nothing is reserved by it; the line is built to any length.
int reservedCommandLineLength(void);

// The Java executable as it stands first on the command line (heap text):
// a located path with a blank in quotes, a "javapath" line as written.
char* javaCommandText(void);

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
