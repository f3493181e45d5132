// The running program's own directory.
#ifndef CORVANE_COMMON_PROGRAM_DIRECTORY_H
#define CORVANE_COMMON_PROGRAM_DIRECTORY_H

// The executable's path (platform.programPath) up to its last backslash, as
// a heap text: "C:" for a program at a drive's root. NULL when the path
// cannot be read.
char* programDirectory(void);

// A relative path (one that starts with neither a slash or backslash nor a
// drive letter and colon; an empty one too) taken from the executable's
// directory: directory + "\\" + path, behind the opening quote of a quoted
// path (heap text). NULL for any other path, or when the directory cannot
// be read.
char* pathInProgramDirectory(const char* path);

// Sets the environment variable EXEDIR to the executable's directory, unless
// the environment has one already: configuration values name the
// application's files by it, and Java inherits it. A variable that cannot be
// set gets a line on standard error.
void setProgramDirectoryVariable(void);

#endif
