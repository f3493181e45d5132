#include "brand/utf16.h"

#include "brand/bytes.h"

// The code point at text[*at], advancing *at; -1 when the bytes there are not UTF-8.
static long nextCodePoint(const std::string& text, size_t* at) {
  unsigned char lead = (unsigned char)text[(*at)++];
  if (lead < 0x80) return lead;
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
  if (!more || lead > 0xF4) return -1;
  long point = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    if (*at >= text.size() || ((unsigned char)text[*at] & 0xC0) != 0x80) return -1;
    point = point << 6 | ((unsigned char)text[(*at)++] & 0x3F);
  }
  static const long lowest[] = {0, 0x80, 0x800, 0x10000};
  if (point < lowest[more] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000)) return -1;
  return point;
}

bool isUtf8(const std::string& text) {
  for (size_t at = 0; at < text.size();)
    if (nextCodePoint(text, &at) < 0) return false;
  return true;
}

std::u16string utf16FromUtf8(const std::string& text, const std::string& what) {
  std::u16string wide;
  for (size_t at = 0; at < text.size();) {
    long point = nextCodePoint(text, &at);
    if (point < 0) fail(what + " is not UTF-8 text");
    if (point >= 0x10000) {
      wide += (char16_t)(0xD800 + ((point - 0x10000) >> 10));
      wide += (char16_t)(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      wide += (char16_t)point;
    }
  }
  return wide;
}

static void appendUtf8(std::string& text, unsigned long point) {
  if (point < 0x80) {
    text += (char)point;
  } else if (point < 0x800) {
    text += (char)(0xC0 | point >> 6);
    text += (char)(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    text += (char)(0xE0 | point >> 12);
    text += (char)(0x80 | (point >> 6 & 0x3F));
    text += (char)(0x80 | (point & 0x3F));
  } else {
    text += (char)(0xF0 | point >> 18);
    text += (char)(0x80 | (point >> 12 & 0x3F));
    text += (char)(0x80 | (point >> 6 & 0x3F));
    text += (char)(0x80 | (point & 0x3F));
  }
}

std::string utf8FromUtf16(const std::u16string& wide) {
  std::string text;
  for (size_t i = 0; i < wide.size(); ++i) {
    unsigned long unit = wide[i];
    bool high = unit >= 0xD800 && unit < 0xDC00;
    if (high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
      appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00));
    } else {
      appendUtf8(text, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
  }
  return text;
}
