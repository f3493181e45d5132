// Assembly of the Java command line from the settings.
#ifndef CORVANE_LAUNCH_COMMAND_LINE_H
#define CORVANE_LAUNCH_COMMAND_LINE_H

// The room the command line is reserved with, by the launcher's long-standing
// count (shown by the debug trace): every piece's length plus its separators.
int reservedCommandLineLength(void);

// Returns the command line (heap text, owned by the caller). Needs javapath
// and mainclass to be present.
char* buildCommandLine(void);

#endif
