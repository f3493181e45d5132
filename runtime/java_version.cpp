#include "runtime/java_version.h"

static bool isDigit(char c) { return c >= '0' && c <= '9'; }

JavaVersion parseJavaVersion(const char* text) {
  JavaVersion version = {};
  if (text[0] == '1' && text[1] == '.' && isDigit(text[2])) text += 2;
  int slot = 0;
  while (isDigit(*text)) {
    unsigned value = 0;
    // Ten digits or more are far above any real number: they count as one
    // value above every shorter number, not as their first nine digits.
    for (; isDigit(*text); ++text)
      value = value < 100000000 ? value * 10 + (unsigned)(*text - '0') : 1000000000;
    if (slot < 3) version.number[slot] = value;
    version.count = ++slot < 3 ? slot : 3;
    if ((*text != '.' && *text != '_') || !isDigit(text[1])) break;
    if (*text++ == '_') slot = 2;  // the update: 8.0_392 is 8.0.392, 8_392 is 8.0.392 too
  }
  version.preRelease = version.count && text[0] == '-' && !(text[1] == 'b' && isDigit(text[2]));
  return version;
}

int compareJavaVersions(const JavaVersion* a, const JavaVersion* b, int numbers) {
  for (int i = 0; i < numbers; ++i)
    if (a->number[i] != b->number[i]) return a->number[i] < b->number[i] ? -1 : 1;
  return numbers < 3 ? 0 : (int)b->preRelease - (int)a->preRelease;
}

int javaVersionAgainstRange(const JavaVersion* version, const char* lowest, const char* highest) {
  if (lowest && *lowest) {
    JavaVersion low = parseJavaVersion(lowest);
    if (!low.count || compareJavaVersions(version, &low, 3) < 0) return -1;
  }
  if (highest && *highest) {
    JavaVersion high = parseJavaVersion(highest);
    if (!high.count || compareJavaVersions(version, &high, high.count) > 0) return 1;
  }
  return 0;
}
