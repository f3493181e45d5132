// The tool's options, from its command line:
//   corvane-brand INPUT.exe OUTPUT.exe [options]   (OUTPUT may be INPUT)
//   corvane-brand --show EXE
#ifndef CORVANE_BRAND_TOOL_OPTIONS_H
#define CORVANE_BRAND_TOOL_OPTIONS_H

#include <string>
#include <vector>

#include "brand/version_record.h"

struct BrandOptions {
  bool help = false;
  std::string show;  // --show EXE
  std::string input, output;
  std::string icon, manifest, executionLevel;
  std::string fileVersion, productVersion;
  // Version strings given, by their name in the record, in the order given.
  VersionStrings strings;
  bool removeSignature = false;
};

extern const char* const kUsage;

// Throws BrandError with what is wrong.
BrandOptions parseBrandOptions(const std::vector<std::string>& args);

#endif
