// The tool's command line:
//   corvane-brand INPUT.exe OUTPUT.exe [options]   (OUTPUT may be INPUT)
//   corvane-brand --show EXE
#ifndef CORVANE_BRAND_COMMAND_LINE_H
#define CORVANE_BRAND_COMMAND_LINE_H

#include <string>
#include <utility>
#include <vector>

struct BrandOptions {
  bool help = false;
  std::string show;  // --show EXE
  std::string input, output;
  std::string icon, manifest, executionLevel;
  std::string fileVersion, productVersion;
  // Version strings given, by their name in the record, in the order given.
  std::vector<std::pair<std::string, std::string>> strings;
  bool removeSignature = false;
};

extern const char* const kUsage;

// Throws BrandError with what is wrong.
BrandOptions parseBrandCommandLine(const std::vector<std::string>& args);

#endif
