// The version record (VS_VERSIONINFO): the fixed file information and one
// string table, US English in the Unicode code page, with its Translation.
#ifndef CORVANE_BRAND_VERSION_RECORD_H
#define CORVANE_BRAND_VERSION_RECORD_H

#include <utility>

#include "brand/bytes.h"

struct VersionNumbers {
  uint16_t part[4];
};

struct VersionRecord {
  VersionNumbers fileVersion{}, productVersion{};
  uint32_t fileType = 1;  // an application
  // (key, value) in the order written, UTF-8.
  std::vector<std::pair<std::string, std::string>> strings;
  std::string table = "040904B0";
  std::vector<uint32_t> translations;  // language | code page << 16
};

// "2.1" is 2.1.0.0: one to four numbers of 0 to 65535 between dots.
// Throws BrandError naming option when text is anything else.
VersionNumbers parseVersionNumbers(const std::string& text, const std::string& option);
std::string showVersionNumbers(const VersionNumbers& numbers);

// Throws BrandError when the record would exceed the 65,535 bytes its length holds.
Bytes versionRecordData(const VersionRecord& record);
VersionRecord readVersionRecord(const Bytes& data);

#endif
