// Java version numbers of every scheme in one comparable form: 1.8.0_392 is
// 8.0.392, 17.0.9+9 is 17.0.9, 21 is 21.0.0, 21.0.1.12 (an installer's key
// name) is 21.0.1, and 10-ea is a pre-release below 10.
#ifndef CORVANE_RUNTIME_JAVA_VERSION_H
#define CORVANE_RUNTIME_JAVA_VERSION_H

struct JavaVersion {
  unsigned number[3];  // feature, minor (interim), update (security); missing ones are 0
  int count;           // how many of them were written; 0 when the text is no version
  bool preRelease;
};

// Reads a version from the start of text. A leading "1." is the old way of
// writing the feature number and is dropped; "_N" is the update; a fourth
// number and a "+build" do not count; "-text" marks a pre-release (except
// the old "-bNN" build suffix). A text that does not start with a digit is
// no version (count 0).
JavaVersion parseJavaVersion(const char* text);

// Negative, zero or positive as a is lower than, the same as or higher than
// b, comparing the first `numbers` numbers (1 to 3); with all three, a
// pre-release is lower than the release of the same numbers.
int compareJavaVersions(const JavaVersion* a, const JavaVersion* b, int numbers);

// Where a readable version stands against the bounds (NULL or empty for none):
// negative below lowest (all three numbers compared), positive above highest
// compared to as many numbers as it has (so "17" admits every 17.x), 0
// within. An unreadable bound admits nothing.
int javaVersionAgainstRange(const JavaVersion* version, const char* lowest, const char* highest);

#endif
