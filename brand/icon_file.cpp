#include "brand/icon_file.h"

#include <algorithm>

static const size_t kHeader = 6, kFileEntry = 16, kGroupEntry = 14;
static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static const uint32_t kBitmapInfoHeader = 40;

bool isPng(const Bytes& data) {
  return data.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, data.begin());
}

static bool isDib(const Bytes& data) {
  return data.size() >= kBitmapInfoHeader && u32At(data, 0, "") >= kBitmapInfoHeader &&
         u32At(data, 0, "") <= data.size();
}

static uint16_t iconCount(const Bytes& bytes, const char* what) {
  if (bytes.size() < kHeader) fail(std::string(what) + " is truncated");
  if (u16At(bytes, 0, what) != 0 || u16At(bytes, 2, what) != 1)
    fail(std::string(what) + " is not an icon file (its header is not that of one)");
  uint16_t count = u16At(bytes, 4, what);
  if (!count) fail(std::string(what) + " holds no images");
  return count;
}

std::vector<IconImage> readIconFile(const Bytes& file) {
  uint16_t count = iconCount(file, "the icon file");
  if (!fits(file.size(), kHeader, (size_t)count * kFileEntry))
    fail("the icon file is truncated: it counts " + std::to_string(count) +
         " images, more than its directory holds");
  std::vector<IconImage> images;
  for (uint16_t i = 0; i < count; ++i) {
    size_t entry = kHeader + kFileEntry * i;
    IconImage image{file[entry],
                    file[entry + 1],
                    file[entry + 2],
                    file[entry + 3],
                    u16At(file, entry + 4, ""),
                    u16At(file, entry + 6, ""),
                    {}};
    uint32_t size = u32At(file, entry + 8, ""), offset = u32At(file, entry + 12, "");
    std::string which = "image " + std::to_string(i + 1) + " of the icon file";
    if (!size) fail(which + " is empty");
    if (!fits(file.size(), offset, size))
      fail(which + " lies past the end of the file (offset " + std::to_string(offset) + ", " +
           std::to_string(size) + " bytes)");
    image.data.assign(file.begin() + offset, file.begin() + offset + size);
    if (!isPng(image.data) && !isDib(image.data))
      fail(which + " is neither a PNG file nor a bitmap");
    images.push_back(std::move(image));
  }
  return images;
}

Bytes iconGroupData(const std::vector<IconImage>& images, const std::vector<uint16_t>& ids) {
  Bytes group;
  appendU16(group, 0);
  appendU16(group, 1);
  appendU16(group, (uint16_t)images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    group.insert(group.end(), {image.width, image.height, image.colourCount, image.reserved});
    appendU16(group, image.planes);
    appendU16(group, image.bitCount);
    appendU32(group, (uint32_t)image.data.size());
    appendU16(group, ids[i]);
  }
  return group;
}

std::vector<GroupEntry> readIconGroup(const Bytes& group) {
  uint16_t count = iconCount(group, "an icon group");
  if (!fits(group.size(), kHeader, (size_t)count * kGroupEntry)) fail("an icon group is truncated");
  std::vector<GroupEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    size_t at = kHeader + kGroupEntry * i;
    entries.push_back(GroupEntry{group[at], group[at + 1], group[at + 2], u16At(group, at + 6, ""),
                                 u32At(group, at + 8, ""), u16At(group, at + 12, "")});
  }
  return entries;
}
