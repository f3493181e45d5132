// The running program's own directory.
#ifndef CORVANE_COMMON_PROGRAM_DIRECTORY_H
#define CORVANE_COMMON_PROGRAM_DIRECTORY_H

// The executable's path (platform.programPath) up to its last backslash, as
// a heap text: "C:" for a program at a drive's root. NULL when the path
// cannot be read.
char* programDirectory(void);

#endif
