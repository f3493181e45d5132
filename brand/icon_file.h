// Icon files (.ico) and the icon-group resources made of them: a group holds
// the file's header and, for each image, the file's entry with the id of the
// image's own icon resource in place of its offset in the file.
#ifndef CORVANE_BRAND_ICON_FILE_H
#define CORVANE_BRAND_ICON_FILE_H

#include "brand/bytes.h"

struct IconImage {
  uint8_t width, height, colourCount, reserved;  // 0 as width or height is 256
  uint16_t planes, bitCount;
  Bytes data;  // a DIB (its height counts image and mask) or a whole PNG file
};

// Every image of an icon file; throws BrandError saying what is wrong.
std::vector<IconImage> readIconFile(const Bytes& file);

struct GroupEntry {
  uint8_t width, height, colourCount;
  uint16_t bitCount;
  uint32_t size;
  uint16_t imageId;
};

Bytes iconGroupData(const std::vector<IconImage>& images, const std::vector<uint16_t>& ids);
std::vector<GroupEntry> readIconGroup(const Bytes& group);

bool isPng(const Bytes& data);

#endif
