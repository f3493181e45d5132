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

// The JVM options, then the class path ("-classpath <entries>"; nothing
// without entries), as they stand in the command line between the Java
// command and the main class, each followed by a blank.
void appendVmOptions(TextBuffer* line);
void appendClassPathOption(TextBuffer* line);

// An argument as the started program's C runtime is to read it back, in
// quotes when quoted is true (and when it must be).
void appendQuotedArgument(TextBuffer* line, const char* argument, bool quoted);

// The command line with the JVM options and the class path replaced by
// lineOptions (those Java is to read from the command line itself, each
// followed by a blank) and "@argumentFile" (quoted as a program argument
// is): for Java to read the others from that file.
char* buildArgumentFileCommandLine(const char* lineOptions, const char* argumentFile);

#endif
