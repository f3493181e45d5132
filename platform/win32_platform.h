#ifndef CORVANE_PLATFORM_WIN32_PLATFORM_H
#define CORVANE_PLATFORM_WIN32_PLATFORM_H

// Fills the platform table with the Windows implementation, and sets up
// what the C runtime's start-up code set up for the launcher: the kind of
// program it serves (the console launcher, or the GUI one).
void installWin32Platform(bool console);

#endif
