#include "runtime/java_version.h"

#include <gtest/gtest.h>

#include <string>

static std::string shown(const JavaVersion& version) {
  if (!version.count) return "unreadable";
  std::string text;
  for (int i = 0; i < 3; ++i) text += (i ? "." : "") + std::to_string(version.number[i]);
  return text + "/" + std::to_string(version.count) + (version.preRelease ? "-pre" : "");
}

TEST(JavaVersionTest, EverySchemeReadsAsThreeNumbers) {
  struct Case {
    const char* text;
    const char* expected;  // numbers / how many were written, "-pre" for a pre-release
  } cases[] = {
      {"1.8.0_392", "8.0.392/3"},    {"1.8.0_392-b08", "8.0.392/3"},  // -bNN is a build
      {"1.8", "8.0.0/1"},            {"8", "8.0.0/1"},
      {"1.4.2_05", "4.2.5/3"},       {"1.8.0.212", "8.0.212/3"},      // one Corretto key name
      {"17.0.9+9", "17.0.9/3"},      {"21", "21.0.0/1"},
      {"21.0.1.12", "21.0.1/3"},     {"8.0.392.8", "8.0.392/3"},      // installer key names
      {"10-ea", "10.0.0/1-pre"},     {"17.0.2-ea+5", "17.0.2/3-pre"},
      {"017.00.09", "17.0.9/3"},     {"99999999999.1", "1000000000.1.0/2"},
      {"1", "1.0.0/1"},              {"1.", "1.0.0/1"},
      {"", "unreadable"},            {"zulu-17", "unreadable"},       {"-1", "unreadable"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, shown(parseJavaVersion(c.text))) << c.text;
}

TEST(JavaVersionTest, VersionsCompareNumericallyAcrossSchemes) {
  struct Case {
    const char* a;
    const char* b;
    int order;  // sign of a against b
  } cases[] = {
      {"1.8.0_392", "8.0.392", 0},  {"1.8", "8", 0},          {"21", "21.0.0", 0},
      {"17.0.9+9", "17.0.9", 0},    {"21.0.1.12", "21.0.1", 0},
      {"1.8.0_392", "1.8.0_41", 1}, {"17.0.10", "17.0.9", 1}, {"11", "1.8.0_392", 1},
      {"21-ea", "21", -1},          {"21-ea", "20.0.2", 1},   {"17.0.9", "17.0.9-ea", 1},
      {"1000000000", "999999999", 1},  // not read as its first nine digits
  };
  for (const Case& c : cases) {
    JavaVersion a = parseJavaVersion(c.a), b = parseJavaVersion(c.b);
    int order = compareJavaVersions(&a, &b, 3);
    EXPECT_EQ(c.order, (order > 0) - (order < 0)) << c.a << " against " << c.b;
  }
}

TEST(JavaVersionTest, RangeEdges) {
  struct Case {
    const char* version;
    const char* lowest;
    const char* highest;
    int place;
  } cases[] = {
      {"11", "11", nullptr, 0},               // the minimum itself
      {"11.0.0", "11", "", 0},                // an empty bound is none
      {"10.0.2", "11", nullptr, -1},
      {"11-ea", "11", nullptr, -1},           // a pre-release is below its release
      {"1.8.0_292", "1.8.0_292", nullptr, 0},
      {"1.8.0_291", "8.0.292", nullptr, -1},
      {"17.0.9", nullptr, "17", 0},           // "17" admits every 17.x
      {"17.0.9+9", nullptr, "17.0.9", 0},
      {"17.0.6", nullptr, "17.0.5", 1},
      {"18", nullptr, "17", 1},
      {"8.0.392", "1.8", "1.8", 0},           // 1.8 and 8 are the same Java
      {"1.8.0_392", "8", "8", 0},
      {"11", "11", "abc", 1},                 // an unreadable bound admits nothing
      {"11", "abc", nullptr, -1},
  };
  for (const Case& c : cases) {
    JavaVersion version = parseJavaVersion(c.version);
    int place = javaVersionAgainstRange(&version, c.lowest, c.highest);
    EXPECT_EQ(c.place, (place > 0) - (place < 0))
        << c.version << " in " << (c.lowest ? c.lowest : "-") << " .. "
        << (c.highest ? c.highest : "-");
  }
}
