#include "fuzz_support.h"

#include <stdio.h>
#include <stdlib.h>

#include "common/launch_settings.h"
#include "platform/fake_platform.h"

FuzzInput fuzzInput(const uint8_t* data, size_t size) { return FuzzInput{data, size, 0}; }

bool fuzzAtEnd(const FuzzInput& input) { return input.position >= input.size; }

uint8_t takeByte(FuzzInput* input) {
  return fuzzAtEnd(*input) ? 0 : input->data[input->position++];
}

std::string takeText(FuzzInput* input) {
  std::string text;
  while (!fuzzAtEnd(*input)) {
    char c = (char)input->data[input->position++];
    if (c == '\0') break;
    text += c;
  }
  return text;
}

std::vector<std::string> takeTexts(FuzzInput* input) {
  std::vector<std::string> texts;
  while (!fuzzAtEnd(*input)) texts.push_back(takeText(input));
  return texts;
}

void startFuzzRun() {
  installFakePlatform();
  resetLaunchSettings();
}

void finishFuzzRun() {
  resetLaunchSettings();
  installFakePlatform();
}

void fuzzFailure(const char* property, const std::string& expected, const std::string& actual) {
  fprintf(stderr, "Property broken: %s\n  expected: [%s]\n  actual:   [%s]\n", property,
          expected.c_str(), actual.c_str());
  abort();
}

std::string showText(const std::vector<std::string>& texts) {
  std::string shown;
  for (const std::string& text : texts) shown += "[" + text + "]";
  return shown;
}

size_t utf16Length(const std::string& text) {
  size_t length = 0;
  for (unsigned char c : text) length += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
  return length;
}
