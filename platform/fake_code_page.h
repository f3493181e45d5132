// The fake's ANSI code pages, chosen by FakeState::codePage. Latin-1 (the
// default): bytes 0x00-0xFF are U+0000-U+00FF. Japanese (932), in part:
// ASCII, and a few double-byte characters, three of them with 0x5C (the
// backslash byte) as their second byte: あ 82 A0, ソ 83 5C, 能 94 5C, 表 95 5C,
// 日 93 FA. Both have Windows's best fit for the look-alikes that mean
// something to a parser: U+FF02 (fullwidth quote) becomes '"', U+FF07 '\'',
// U+FF03 '#', and U+00A0 (no-break space) a blank where the page lacks it.
// Any other character becomes '?', the default character.
#ifndef CORVANE_PLATFORM_FAKE_CODE_PAGE_H
#define CORVANE_PLATFORM_FAKE_CODE_PAGE_H

#include <string>

enum : int { kFakeLatin1 = 28591, kFakeJapanese = 932 };

// The code point that starts at *text, or -1 for a byte that starts no valid
// UTF-8 sequence; moves *text past what it took.
long fakeNextCodePoint(const unsigned char** text);

// The UTF-8 text in the code page. With bestFit, look-alikes stand in as
// Windows's conversion puts them; *exact (when given) tells whether every
// character had bytes of its own in the page.
std::string fakeAnsiForm(int codePage, const char* text, bool bestFit, bool* exact = nullptr);

// The code page's bytes as UTF-8; a byte or pair the fake does not know
// becomes '?'.
std::string fakeAnsiToUtf8Form(int codePage, const char* bytes);

#endif
