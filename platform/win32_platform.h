#ifndef CORVANE_PLATFORM_WIN32_PLATFORM_H
#define CORVANE_PLATFORM_WIN32_PLATFORM_H

// Fills the platform table with the Windows implementation.
void installWin32Platform(void);

#endif
