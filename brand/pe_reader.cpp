#include "brand/pe_reader.h"

#include <string.h>

static const size_t kSectionEntry = 40;

static void readSections(PeFile& pe, size_t table, unsigned count) {
  for (unsigned i = 0; i < count; ++i) {
    size_t at = table + i * kSectionEntry;
    if (!fits(pe.bytes.size(), at, kSectionEntry)) fail("the section table is truncated");
    Section section;
    const char* name = (const char*)&pe.bytes[at];
    section.name.assign(name, strnlen(name, 8));
    section.headerOffset = at;
    section.virtualSize = u32At(pe.bytes, at + 8, "section");
    section.virtualAddress = u32At(pe.bytes, at + 12, "section");
    section.rawSize = u32At(pe.bytes, at + 16, "section");
    section.rawPointer = u32At(pe.bytes, at + 20, "section");
    section.characteristics = u32At(pe.bytes, at + 36, "section");
    if (section.rawSize && !fits(pe.bytes.size(), section.rawPointer, section.rawSize))
      fail("the file is truncated: section " + section.name + " ends past its end");
    pe.sections.push_back(section);
  }
}

PeFile readPeFile(Bytes bytes) {
  PeFile pe{};
  pe.bytes = std::move(bytes);
  const Bytes& b = pe.bytes;
  if (b.size() < 2 || b[0] != 'M' || b[1] != 'Z') fail("not a PE file (no MZ header)");
  uint32_t signature = u32At(b, 0x3C, "the MZ header");
  if (!fits(b.size(), signature, 4)) fail("the file is truncated before its PE header");
  if (b[signature] != 'P' || b[signature + 1] != 'E' || b[signature + 2] || b[signature + 3])
    fail("not a PE file (no PE signature)");
  size_t coff = signature + 4;
  uint16_t sectionCount = u16At(b, coff + 2, "the COFF header");
  uint16_t optionalSize = u16At(b, coff + 16, "the COFF header");
  pe.optionalHeader = coff + 20;
  uint16_t magic = u16At(b, pe.optionalHeader, "the optional header");
  if (magic != 0x10B && magic != 0x20B) fail("not a PE32 or PE32+ image");
  pe.plus = magic == 0x20B;
  size_t countField = pe.plus ? 108 : 92;
  if (optionalSize < countField + 4 || !fits(b.size(), pe.optionalHeader, optionalSize))
    fail("the optional header is truncated");
  pe.sectionAlignment = u32At(b, pe.optionalHeader + kSectionAlignment, "the optional header");
  pe.fileAlignment = u32At(b, pe.optionalHeader + kFileAlignment, "the optional header");
  if (!pe.fileAlignment || !pe.sectionAlignment || pe.fileAlignment & (pe.fileAlignment - 1) ||
      pe.sectionAlignment & (pe.sectionAlignment - 1) || pe.fileAlignment > 0x10000)
    fail("the optional header gives an alignment that is not a power of two up to 64 KiB");
  pe.directoryCount = u32At(b, pe.optionalHeader + countField, "the optional header");
  pe.directories = pe.optionalHeader + countField + 4;
  if (pe.directoryCount > (optionalSize - countField - 4) / 8)
    fail("the optional header is truncated: it lacks data directories");
  readSections(pe, pe.optionalHeader + optionalSize, sectionCount);
  uint32_t resources = directoryRva(pe, kResourceDirectory);
  pe.resourceSection = resources ? sectionAt(pe, resources) : -1;
  return pe;
}

uint32_t directoryRva(const PeFile& pe, int directory) {
  return (uint32_t)directory < pe.directoryCount
             ? u32At(pe.bytes, pe.directories + 8 * directory, "")
             : 0;
}

uint32_t directorySize(const PeFile& pe, int directory) {
  return (uint32_t)directory < pe.directoryCount
             ? u32At(pe.bytes, pe.directories + 8 * directory + 4, "")
             : 0;
}

uint32_t sectionExtent(const Section& s) { return s.virtualSize ? s.virtualSize : s.rawSize; }

int sectionAt(const PeFile& pe, uint32_t rva) {
  for (size_t i = 0; i < pe.sections.size(); ++i) {
    const Section& s = pe.sections[i];
    if (rva >= s.virtualAddress && rva - s.virtualAddress < sectionExtent(s)) return (int)i;
  }
  return -1;
}

size_t fileOffsetOf(const PeFile& pe, uint32_t rva, uint32_t size, const char* what) {
  int index = sectionAt(pe, rva);
  if (index < 0) fail(std::string(what) + " lies outside every section");
  const Section& s = pe.sections[index];
  uint32_t within = rva - s.virtualAddress;
  if (!fits(s.rawSize, within, size)) fail(std::string(what) + " is truncated");
  return s.rawPointer + within;
}
