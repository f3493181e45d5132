// The version record (VS_VERSIONINFO): the fixed file information and one
// string table, US English in the Unicode code page, with its Translation.
#ifndef CORVANE_BRAND_VERSION_RECORD_H
#define CORVANE_BRAND_VERSION_RECORD_H

#include <utility>

#include "brand/bytes.h"

// US English: the language of the version record, and of the icons of an
// exe that has none.
constexpr uint16_t kUsEnglish = 0x409;
// US English in the Unicode code page (1200), as a Translation holds them
// (language | code page << 16): the record's one string table.
constexpr uint32_t kUsEnglishUnicode = kUsEnglish | 1200u << 16;

struct VersionNumbers {
  uint16_t part[4];
};

// Version strings, (key, value) in UTF-8.
using VersionStrings = std::vector<std::pair<std::string, std::string>>;

// A string table's name: its language and code page in hexadecimal, as "040904B0".
std::string stringTableName(uint32_t translation);

struct VersionRecord {
  VersionNumbers fileVersion{}, productVersion{};
  VersionStrings strings;  // in the order written
  std::string table = stringTableName(kUsEnglishUnicode);
  std::vector<uint32_t> translations = {kUsEnglishUnicode};  // language | code page << 16
};

// A version as given: its text, which the record holds as a string, and its
// numbers. An empty text is one not given.
struct GivenVersion {
  std::string text;
  VersionNumbers numbers{};
};

// The record of the versions and strings given, with the rest defaulted:
// either version is the other when not given (one must be), FileDescription
// is the ProductName, InternalName the exe's name without its extension and
// OriginalFilename its name; strings left empty are left out.
VersionRecord defaultedVersionRecord(const GivenVersion& file, const GivenVersion& product,
                                     const VersionStrings& given, const std::string& exeName);

// "2.1" is 2.1.0.0: one to four numbers of 0 to 65535 between dots.
// Throws BrandError naming option when text is anything else.
VersionNumbers parseVersionNumbers(const std::string& text, const std::string& option);
std::string showVersionNumbers(const VersionNumbers& numbers);

// Throws BrandError when the record would exceed the 65,535 bytes its length holds.
Bytes versionRecordData(const VersionRecord& record);
VersionRecord readVersionRecord(const Bytes& data);

#endif
