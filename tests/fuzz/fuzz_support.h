// What the fuzz harnesses share: reading a fuzz input piece by piece, a fresh
// fake platform for each input, and failing loudly when a property breaks.
#ifndef CORVANE_TESTS_FUZZ_FUZZ_SUPPORT_H
#define CORVANE_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

struct FuzzInput {
  const uint8_t* data;
  size_t size;
  size_t position;
};

FuzzInput fuzzInput(const uint8_t* data, size_t size);
bool fuzzAtEnd(const FuzzInput& input);
// The next byte, or 0 past the end.
uint8_t takeByte(FuzzInput* input);
// The bytes up to the next NUL (which is consumed) or to the end.
std::string takeText(FuzzInput* input);
// Every remaining NUL-separated text.
std::vector<std::string> takeTexts(FuzzInput* input);

// A fresh fake platform and empty settings.
void startFuzzRun();
// Empties the settings and the fake's record of the run. What a run leaves
// allocated after it returns makes libFuzzer suspect a leak and run the input
// again, so every harness that runs on the fake ends its run here.
void finishFuzzRun();

// Reports the broken property with the values involved, then aborts, so that
// libFuzzer keeps the input and the replay program fails.
[[noreturn]] void fuzzFailure(const char* property, const std::string& expected,
                              const std::string& actual);
#define FUZZ_EXPECT_EQ(expected, actual, property)                           \
  do {                                                                       \
    if (!((expected) == (actual))) fuzzFailure(property, expected, actual);  \
  } while (0)
#define FUZZ_EXPECT(condition, property)                      \
  do {                                                        \
    if (!(condition)) fuzzFailure(property, "true", "false"); \
  } while (0)

// The length Windows gives a UTF-8 text: its count of UTF-16 units.
size_t utf16Length(const std::string& text);

// The texts one after the other, each in brackets, for comparing lists.
std::string showText(const std::vector<std::string>& texts);

#endif
