// UTF-8 (the tool's texts: command line, manifest, output) to and from
// UTF-16 (the texts of resources).
#ifndef CORVANE_BRAND_UTF16_H
#define CORVANE_BRAND_UTF16_H

#include <string>

// Throws BrandError naming what when text is not UTF-8.
std::u16string utf16FromUtf8(const std::string& text, const std::string& what);
// Unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(const std::u16string& text);
bool isUtf8(const std::string& text);

#endif
