#include "test_exe.h"

#include "brand/icon_file.h"
#include "brand/pe_writer.h"

static const uint32_t kRawStep = 0x200, kAddressStep = 0x1000;

static void putName(Bytes& bytes, size_t at, const char* name) {
  for (size_t i = 0; name[i]; ++i) bytes[at + i] = (uint8_t)name[i];
}

Bytes makeTestExe(const TestExe& shape, const std::vector<Resource>& resources) {
  const size_t pe = 0x40, optional = pe + 24, optionalSize = shape.plus ? 240 : 224;
  const size_t directories = optional + (shape.plus ? 112 : 96);
  const size_t table = optional + optionalSize;
  Bytes rsrc = writeResourceSection(resources, 0x2000);
  Bytes code(0x180, 0xCC), relocations = {0x00, 0x10, 0, 0, 12, 0, 0, 0, 0x10, 0x30, 0, 0};
  struct Part {
    const char* name;
    uint32_t address;
    const Bytes* data;
    uint32_t flags;
  };
  std::vector<Part> parts = {{".text", 0x1000, &code, 0x60000020}};
  if (shape.resourceSection) parts.push_back({".rsrc", 0x2000, &rsrc, 0xC0000040});
  uint32_t relocAddress = alignUp(0x2000 + (uint32_t)rsrc.size(), kAddressStep);
  parts.push_back({".reloc", relocAddress, &relocations, 0x42000040});

  Bytes exe(0x400, 0);
  exe[0] = 'M', exe[1] = 'Z';
  putU32(exe, 0x3C, pe);
  putName(exe, pe, "PE");
  putU16(exe, pe + 4, shape.plus ? 0x8664 : 0x14C);
  putU16(exe, pe + 6, (uint16_t)parts.size());
  putU16(exe, pe + 20, (uint16_t)optionalSize);
  putU16(exe, optional, shape.plus ? 0x20B : 0x10B);
  putU32(exe, optional + kSectionAlignment, kAddressStep);
  putU32(exe, optional + kFileAlignment, kRawStep);
  putU32(exe, optional + kSizeOfHeaders, 0x400);
  putU16(exe, optional + 68, 2);
  putU32(exe, directories - 4, 16);
  uint32_t initialized = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    size_t at = table + 40 * i;
    uint32_t raw = alignUp((uint32_t)parts[i].data->size(), kRawStep);
    putName(exe, at, parts[i].name);
    putU32(exe, at + 8, (uint32_t)parts[i].data->size());
    putU32(exe, at + 12, parts[i].address);
    putU32(exe, at + 16, raw);
    putU32(exe, at + 20, (uint32_t)exe.size());
    putU32(exe, at + 36, parts[i].flags);
    if (parts[i].flags & 0x40) initialized += raw;
    exe.insert(exe.end(), parts[i].data->begin(), parts[i].data->end());
    exe.resize(exe.size() + raw - parts[i].data->size(), 0);
  }
  putU32(exe, optional + kSizeOfInitializedData, initialized);
  putU32(exe, optional + kSizeOfImage, alignUp(relocAddress + 12, kAddressStep));
  if (shape.resourceSection) {
    putU32(exe, directories + 8 * 2, 0x2000);
    putU32(exe, directories + 8 * 2 + 4, (uint32_t)rsrc.size());
  }
  putU32(exe, directories + 8 * 5, relocAddress);
  putU32(exe, directories + 8 * 5 + 4, 12);
  if (shape.signature) {
    exe.resize(exe.size() + shape.signaturePadding, 0);
    putU32(exe, directories + 8 * 4, (uint32_t)exe.size());
    putU32(exe, directories + 8 * 4 + 4, 16);
    exe.resize(exe.size() + 16, 0x5A);
  }
  if (shape.checksum) putU32(exe, optional + kCheckSum, peChecksum(exe, optional + kCheckSum));
  return exe;
}

Resource iconImageResource(uint16_t id, Bytes data) {
  return Resource{resourceId(kIconImage), resourceId(id), 1033, 0, std::move(data)};
}

Bytes dibImage(uint8_t fill) {
  Bytes dib(40 + 16 * 32 * 4 + 16 * 4, fill);
  putU32(dib, 0, 40);
  return dib;
}

Bytes pngImage() {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  png.resize(64, 7);
  return png;
}

std::vector<Resource> launcherLikeResources() {
  auto group = [](uint16_t id, std::vector<uint16_t> images) {
    std::vector<IconImage> entries(images.size(), IconImage{32, 32, 0, 0, 1, 32, dibImage(0)});
    return Resource{resourceId(kIconGroup), resourceId(id), 1033, 0,
                    iconGroupData(entries, images)};
  };
  return {iconImageResource(1, dibImage(1)), iconImageResource(2, dibImage(2)),
          iconImageResource(3, dibImage(3)), group(101, {1, 3}), group(102, {2, 3})};
}
