#ifndef CORVANE_PLATFORM_WIN32_PLATFORM_H
#define CORVANE_PLATFORM_WIN32_PLATFORM_H

// Fills the platform table with the Windows implementation.
void installWin32Platform(void);

// The argument vector that the C runtime split from the wide command line,
// as UTF-8 texts that live until the process ends; *count is its length.
char** win32Arguments(int* count);

#endif
