// Reads the headers of a PE32 or PE32+ exe: where its fields are, its
// sections and data directories. Throws BrandError on anything else.
#ifndef CORVANE_BRAND_PE_READER_H
#define CORVANE_BRAND_PE_READER_H

#include "brand/bytes.h"

enum DataDirectory { kResourceDirectory = 2, kCertificateDirectory = 4, kRelocationDirectory = 5 };

struct Section {
  std::string name;
  size_t headerOffset;  // of its 40-byte entry in the section table
  uint32_t virtualSize, virtualAddress, rawSize, rawPointer, characteristics;
};

struct PeFile {
  Bytes bytes;
  bool plus;              // PE32+
  size_t optionalHeader;  // file offset
  size_t directories;     // file offset of data directory 0
  uint32_t directoryCount;
  uint32_t sectionAlignment, fileAlignment;
  std::vector<Section> sections;
  int resourceSection;  // the section holding the resource directory, or -1
};

PeFile readPeFile(Bytes bytes);

uint32_t directoryRva(const PeFile& pe, int directory);
uint32_t directorySize(const PeFile& pe, int directory);
// How many bytes of memory a section takes from its address on.
uint32_t sectionExtent(const Section& s);
// The section holding rva, or -1.
int sectionAt(const PeFile& pe, uint32_t rva);
// The file offset of size bytes at rva; throws naming what when they do not
// lie in one section's data.
size_t fileOffsetOf(const PeFile& pe, uint32_t rva, uint32_t size, const char* what);

// Header field offsets within the optional header.
enum OptionalHeaderField {
  kSizeOfInitializedData = 8,
  kSectionAlignment = 32,
  kFileAlignment = 36,
  kSizeOfImage = 56,
  kSizeOfHeaders = 60,
  kCheckSum = 64,
};

#endif
