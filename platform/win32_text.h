// The UTF-8 / UTF-16 conversions at the Windows implementations' calls
// (defined in win32_platform.cpp): heap texts from malloc, NULL only when
// memory runs out; an invalid sequence becomes U+FFFD.
#ifndef CORVANE_PLATFORM_WIN32_TEXT_H
#define CORVANE_PLATFORM_WIN32_TEXT_H

#include <windows.h>

WCHAR* toWide(const char* text);
char* fromWide(const WCHAR* wide);

#endif
