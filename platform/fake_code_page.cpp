#include "platform/fake_code_page.h"

struct FakeDoubleByte {
  long point;
  unsigned char lead, trail;
};

static const FakeDoubleByte kJapanese[] = {
    {0x3042, 0x82, 0xA0}, {0x30BD, 0x83, 0x5C}, {0x80FD, 0x94, 0x5C},
    {0x8868, 0x95, 0x5C}, {0x65E5, 0x93, 0xFA},
};

static const long kLookAlikes[][2] = {{0xFF02, '"'}, {0xFF07, '\''}, {0xFF03, '#'}, {0xA0, ' '}};

// Walked in place: a conversion is a call that every path takes, and a list
// of points for each would cost more than the rest. An overlong form (C0 80
// for U+0000) is no valid sequence, as Windows decodes UTF-8.
long fakeNextCodePoint(const unsigned char** text) {
  static const long kLeast[] = {0, 0x80, 0x800, 0x10000};
  const unsigned char* p = *text;
  int extra = *p >= 0xF0 ? 3 : *p >= 0xE0 ? 2 : *p >= 0xC0 ? 1 : 0;
  long point = extra ? *p & (0x3F >> extra) : *p;
  int taken = 1;
  while (taken <= extra && (p[taken] & 0xC0) == 0x80) point = point << 6 | (p[taken++] & 0x3F);
  bool valid = *p < 0x80 || (extra && taken == extra + 1 && *p < 0xF8 && point >= kLeast[extra]);
  *text = p + (valid ? taken : 1);
  return valid ? point : -1;
}

// The character's own bytes in the page; false when it has none.
static bool appendExact(int codePage, std::string* out, long point) {
  if (point >= 0 && (point < 0x80 || (codePage == kFakeLatin1 && point <= 0xFF))) {
    *out += (char)point;
    return true;
  }
  for (const FakeDoubleByte& character : kJapanese) {
    if (codePage != kFakeJapanese || character.point != point) continue;
    *out += (char)character.lead;
    *out += (char)character.trail;
    return true;
  }
  return false;
}

static char lookAlike(long point) {
  for (const auto& pair : kLookAlikes)
    if (pair[0] == point) return (char)pair[1];
  return '?';
}

std::string fakeAnsiForm(int codePage, const char* text, bool bestFit, bool* exact) {
  std::string out;
  bool allExact = true;
  for (const unsigned char* p = (const unsigned char*)text; *p;) {
    long point = fakeNextCodePoint(&p);
    if (appendExact(codePage, &out, point)) continue;
    allExact = false;
    out += bestFit ? lookAlike(point) : '?';
  }
  if (exact) *exact = allExact;
  return out;
}

static void appendUtf8(std::string* out, long point) {
  if (point < 0x80) {
    *out += (char)point;
  } else if (point < 0x800) {
    *out += (char)(0xC0 | point >> 6);
    *out += (char)(0x80 | (point & 0x3F));
  } else {
    *out += (char)(0xE0 | point >> 12);
    *out += (char)(0x80 | (point >> 6 & 0x3F));
    *out += (char)(0x80 | (point & 0x3F));
  }
}

// In 932 a byte of 0x81-0x9F or 0xE0-0xFC leads a pair.
static long japaneseCharacter(const unsigned char** p) {
  unsigned char lead = **p;
  if (lead < 0x81 || (lead > 0x9F && lead < 0xE0) || lead > 0xFC || !(*p)[1]) return -1;
  unsigned char trail = (*p)[1];
  ++*p;
  for (const FakeDoubleByte& character : kJapanese)
    if (character.lead == lead && character.trail == trail) return character.point;
  return -1;
}

std::string fakeAnsiToUtf8Form(int codePage, const char* bytes) {
  std::string utf8;
  for (const unsigned char* p = (const unsigned char*)bytes; *p; ++p) {
    long point = *p < 0x80 || codePage == kFakeLatin1 ? *p : japaneseCharacter(&p);
    appendUtf8(&utf8, point < 0 ? '?' : point);
  }
  return utf8;
}
