// The resources of an exe as a flat list, read from and written to the
// three-level tree of a resource section (type, name, language).
#ifndef CORVANE_BRAND_RESOURCE_TREE_H
#define CORVANE_BRAND_RESOURCE_TREE_H

#include "brand/bytes.h"
#include "brand/pe_reader.h"

enum ResourceType : uint16_t {
  kIconImage = 3,
  kIconGroup = 14,
  kVersionRecord = 16,
  kManifest = 24,
};

// An entry's name: a text when named, else a 16-bit id. Named ones sort
// first, by their UTF-16 units; then ids, ascending.
struct ResourceName {
  bool named = false;
  uint16_t id = 0;
  std::u16string text;
};
bool operator<(const ResourceName& a, const ResourceName& b);
bool operator==(const ResourceName& a, const ResourceName& b);
ResourceName resourceId(uint16_t id);

struct Resource {
  ResourceName type, name;
  uint16_t language = 0;
  uint32_t codePage = 0;
  Bytes data;
};

// Every resource of the exe's resource directory, in the tree's order.
std::vector<Resource> readResources(const PeFile& pe);

// A resource section at sectionRva holding the resources in the tree's
// order (sorted here), data blocks 8-byte aligned. Same resources, same bytes.
Bytes writeResourceSection(std::vector<Resource> resources, uint32_t sectionRva);

std::string describeName(const ResourceName& name);

#endif
