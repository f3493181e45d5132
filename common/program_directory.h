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

// The service launcher's place, at a command and under the service manager
// alike: it works in its exe's directory, with EXEDIR set (as above), so
// that its configuration's relative paths and includes read the same files
// either way. Returns that directory (heap text), or NULL, changing nothing,
// when it cannot be read.
char* workInProgramDirectory(void);

#endif
