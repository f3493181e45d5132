// The UTF-8 / UTF-16 conversions at the Windows implementations' calls
// (defined in win32_platform.cpp): heap texts from malloc, NULL only when
// memory runs out; an invalid sequence becomes U+FFFD, a character the
// target code page lacks its default character or a look-alike.
#ifndef CORVANE_PLATFORM_WIN32_TEXT_H
#define CORVANE_PLATFORM_WIN32_TEXT_H

#include <windows.h>

WCHAR* toWide(const char* text, UINT codePage = CP_UTF8);
char* fromWide(const WCHAR* wide, UINT codePage = CP_UTF8);

#endif
