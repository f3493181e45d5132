#include "brand/pe_writer.h"

#include <algorithm>

static const uint32_t kInitializedData = 0x40;

static size_t rawEnd(const PeFile& pe) {
  size_t end = 0;
  for (const Section& s : pe.sections)
    if (s.rawSize) end = std::max(end, (size_t)s.rawPointer + s.rawSize);
  return end;
}

// Only the base relocations may follow the resource section: their contents
// do not depend on where they are. (Without a relocation directory entry,
// nothing may.) Nothing else may lie where the sections move.
static void checkWhatFollows(const PeFile& pe, size_t index) {
  uint32_t relocations = directoryRva(pe, kRelocationDirectory);
  if (index + 1 < pe.sections.size() && (index + 2 != pe.sections.size() || !relocations ||
                                         pe.sections[index + 1].virtualAddress != relocations))
    fail("sections other than the base relocations follow the resource section");
  const Section& resources = pe.sections[index];
  size_t headersEnd = std::max(pe.sections.back().headerOffset + 40,
                               pe.directories + 8 * (size_t)pe.directoryCount);
  if (headersEnd > resources.rawPointer) fail("the headers overlap the resource section");
  for (size_t i = 0; i < index; ++i) {
    const Section& before = pe.sections[i];
    if (before.rawSize && before.rawPointer + (size_t)before.rawSize > resources.rawPointer)
      fail("section " + before.name + " lies after the resource section in the file");
    // The resource section grows into the addresses after it.
    if ((uint64_t)before.virtualAddress + sectionExtent(before) > resources.virtualAddress)
      fail("section " + before.name + " lies after the resource section in memory");
  }
  for (uint32_t d = 0; d < pe.directoryCount; ++d) {
    if (d == kResourceDirectory || d == kRelocationDirectory || d == kCertificateDirectory)
      continue;
    if (directoryRva(pe, d) >= resources.virtualAddress)
      fail("data directory " + std::to_string(d) + " lies where the sections would move");
  }
}

static bool allZero(const Bytes& bytes, size_t from, size_t to) {
  return std::all_of(bytes.begin() + from, bytes.begin() + to, [](uint8_t b) { return !b; });
}

static std::string byteCount(size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// Writing the exe again keeps the sections and nothing after them: anything
// there but a signature would be lost. A signature ends the file; before it,
// up to 7 zero bytes may align it to 8 bytes, as signing tools pad.
static void checkTail(const PeFile& pe) {
  size_t end = rawEnd(pe), size = pe.bytes.size();
  size_t signature = directoryRva(pe, kCertificateDirectory);  // a file offset
  uint32_t signatureSize = directorySize(pe, kCertificateDirectory);
  if (signature && (signature < end || !fits(size, signature, signatureSize)))
    fail("the signature does not lie at the end of the file");
  size_t signatureEnd = signature + signatureSize;  // within the file: no overflow
  size_t gap = (signature ? signature : size) - end;
  if (gap && (!signature || gap >= 8 || !allZero(pe.bytes, end, signature)))
    fail("data after the last section is not a signature (" + byteCount(gap) + ")");
  if (signature && signatureEnd < size)
    fail("data after the signature is not part of it (" + byteCount(size - signatureEnd) + ")");
}

void checkResourceSectionReplaceable(const PeFile& pe) {
  if (pe.resourceSection < 0) fail("the exe has no resource section");
  const Section& resources = pe.sections[pe.resourceSection];
  if (resources.virtualAddress != directoryRva(pe, kResourceDirectory))
    fail("the resource directory does not start its section");
  if (!resources.rawPointer || !resources.rawSize) fail("the resource section has no data");
  checkWhatFollows(pe, (size_t)pe.resourceSection);
  checkTail(pe);
}

uint32_t peChecksum(const Bytes& image, size_t checksumOffset) {
  uint64_t sum = 0;
  auto add = [&](size_t from, size_t to) {
    for (size_t i = from; i + 1 < to; i += 2) sum += (uint32_t)(image[i] | image[i + 1] << 8);
  };
  add(0, checksumOffset);  // the field itself is left out
  add(checksumOffset + 4, image.size());
  if (image.size() % 2) sum += image.back();
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return (uint32_t)(sum + image.size());
}

Bytes replaceResourceSection(const PeFile& pe, const Bytes& section) {
  size_t index = (size_t)pe.resourceSection;
  const Section& resources = pe.sections[index];
  size_t header = pe.optionalHeader;
  Bytes out(pe.bytes.begin(), pe.bytes.begin() + resources.rawPointer);
  uint32_t newRaw = alignUp((uint32_t)section.size(), pe.fileAlignment);
  out.insert(out.end(), section.begin(), section.end());
  out.resize(resources.rawPointer + newRaw, 0);
  putU32(out, resources.headerOffset + 8, (uint32_t)section.size());
  putU32(out, resources.headerOffset + 16, newRaw);
  putU32(out, pe.directories + 8 * kResourceDirectory + 4, (uint32_t)section.size());
  if (resources.characteristics & kInitializedData) {
    uint32_t initialized = u32At(out, header + kSizeOfInitializedData, "");
    putU32(out, header + kSizeOfInitializedData, initialized - resources.rawSize + newRaw);
  }

  uint32_t nextAddress =
      alignUp(resources.virtualAddress + (uint32_t)section.size(), pe.sectionAlignment);
  uint32_t imageEnd = nextAddress;
  for (size_t i = index + 1; i < pe.sections.size(); ++i) {
    const Section& moved = pe.sections[i];
    uint32_t rawPointer = moved.rawSize ? (uint32_t)out.size() : 0;
    out.insert(out.end(), pe.bytes.begin() + moved.rawPointer,
               pe.bytes.begin() + moved.rawPointer + moved.rawSize);
    putU32(out, moved.headerOffset + 12, nextAddress);
    putU32(out, moved.headerOffset + 20, rawPointer);
    putU32(out, pe.directories + 8 * kRelocationDirectory, nextAddress);
    imageEnd =
        alignUp(nextAddress + sectionExtent(moved), pe.sectionAlignment);
    nextAddress = imageEnd;
  }
  putU32(out, header + kSizeOfImage, imageEnd);
  if (pe.directoryCount > kCertificateDirectory) {
    putU32(out, pe.directories + 8 * kCertificateDirectory, 0);
    putU32(out, pe.directories + 8 * kCertificateDirectory + 4, 0);
  }
  if (u32At(pe.bytes, header + kCheckSum, "the optional header"))
    putU32(out, header + kCheckSum, peChecksum(out, header + kCheckSum));
  return out;
}
