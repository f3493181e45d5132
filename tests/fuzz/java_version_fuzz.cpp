// Fuzzes the reading and comparing of Java versions. Whatever the texts:
// the comparison is a total order (reflexive, antisymmetric, transitive on
// every triple, for each count of numbers compared), the old "1.x" spelling
// equals "x", and a range admits an interval: a version between two that it
// admits is admitted too.
//
// Input: NUL-separated texts: three versions a, b and c, then a lowest and a
// highest bound (an empty bound is none).
#include <utility>

#include "fuzz_support.h"
#include "runtime/java_version.h"

static int sign(int value) { return (value > 0) - (value < 0); }

static std::string shown(const JavaVersion& v) {
  return std::to_string(v.number[0]) + "." + std::to_string(v.number[1]) + "." +
         std::to_string(v.number[2]) + "/" + std::to_string(v.count) + (v.preRelease ? "-pre" : "");
}

static void checkOrder(const JavaVersion* v, int numbers) {
  for (int i = 0; i < 3; ++i) {
    FUZZ_EXPECT(compareJavaVersions(&v[i], &v[i], numbers) == 0, "a version equals itself");
    for (int j = 0; j < 3; ++j) {
      int ij = sign(compareJavaVersions(&v[i], &v[j], numbers));
      int ji = sign(compareJavaVersions(&v[j], &v[i], numbers));
      if (ij != -ji) fuzzFailure("antisymmetric", shown(v[i]), shown(v[j]));
      for (int k = 0; k < 3; ++k) {
        int jk = sign(compareJavaVersions(&v[j], &v[k], numbers));
        int ik = sign(compareJavaVersions(&v[i], &v[k], numbers));
        if (ij <= 0 && jk <= 0 && ik > 0) fuzzFailure("transitive", shown(v[i]), shown(v[k]));
      }
    }
  }
}

static bool startsWithOldSpelling(const std::string& text) {
  return text.size() > 2 && text[0] == '1' && text[1] == '.' && text[2] >= '0' && text[2] <= '9';
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  std::string texts[3];
  JavaVersion versions[3];
  for (int i = 0; i < 3; ++i) {
    texts[i] = takeText(&input);
    versions[i] = parseJavaVersion(texts[i].c_str());
  }
  std::string lowest = takeText(&input), highest = takeText(&input);

  for (int numbers = 1; numbers <= 3; ++numbers) checkOrder(versions, numbers);

  for (int i = 0; i < 3; ++i) {
    FUZZ_EXPECT(versions[i].count >= 0 && versions[i].count <= 3, "at most three numbers");
    if (!versions[i].count || startsWithOldSpelling(texts[i])) continue;
    JavaVersion old = parseJavaVersion(("1." + texts[i]).c_str());
    FUZZ_EXPECT_EQ(shown(versions[i]), shown(old), "1.x is x");
  }

  // Sorted a <= b <= c: when a and c are admitted, so is b.
  JavaVersion* v = versions;
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i + 1 < 3; ++i)
      if (compareJavaVersions(&v[i], &v[i + 1], 3) > 0) std::swap(v[i], v[i + 1]);
  int place[3];
  for (int i = 0; i < 3; ++i)
    place[i] = v[i].count ? javaVersionAgainstRange(&v[i], lowest.c_str(), highest.c_str()) : 1;
  if (v[0].count && v[1].count && v[2].count && place[0] == 0 && place[2] == 0)
    FUZZ_EXPECT_EQ(std::string("0"), std::to_string(place[1]), "a range is an interval");
  for (int i = 0; i < 3; ++i)
    if (v[i].count && lowest.empty() && highest.empty())
      FUZZ_EXPECT_EQ(std::string("0"), std::to_string(place[i]), "no bounds admit every version");
  return 0;
}
