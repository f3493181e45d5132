// Fuzzes the brand tool's readers and writer on any bytes: the exe reader,
// the resource-tree reader, the icon-file reader, --show and (flag 128, on
// the icon's bytes) the manifest's XML check never read or write out of
// bounds and fail only by saying what is wrong (BrandError).
// When an exe brands, its output reads back: the first icon group holds the
// icon file's images in order, the version record reads back as written and
// the manifest is the one asked for; with flag 32, --show reads the output
// when it read the input; with flag 64, branding the output again gives the
// same bytes. (The last two are the costliest: each input pays for at most
// the ones it asks for.)
//
// Input: a flags byte (1 icon, 2 version record, 4 manifest, 8 execution
// level, 16 remove a signature, 32 and 64 the checks above, 128 the XML
// check), a 16-bit length n, n bytes of icon file, then the exe.
#include <string>

#include "brand/brand_exe.h"
#include "brand/resource_tree.h"
#include "brand/show.h"
#include "brand/xml_check.h"
#include "fuzz_support.h"

static const char kFuzzManifest[] =
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><trustInfo "
    "xmlns=\"urn:schemas-microsoft-com:asm.v3\"><security><requestedPrivileges>"
    "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/></requestedPrivileges>"
    "</security></trustInfo></assembly>";

static BrandRequest requestOf(uint8_t flags, const std::vector<IconImage>& icon) {
  BrandRequest request;
  if (flags & 1) request.icon = icon;
  request.hasVersion = flags & 2;
  request.version.fileVersion = {{1, 2, 3, 4}};
  request.version.productVersion = {{5, 6, 0, 0}};
  request.version.strings = {{"ProductName", "Fuzz"}, {"CompanyName", "Société"}};
  request.version.translations = {0x409 | 1200u << 16};
  if (flags & 4) request.manifest = kFuzzManifest;
  if (flags & 8) request.executionLevel = "highestAvailable";
  request.removeSignature = flags & 16;
  return request;
}

static const Resource* firstGroup(const std::vector<Resource>& resources) {
  const Resource* first = nullptr;
  for (const Resource& r : resources)
    if (!r.type.named && r.type.id == kIconGroup && (!first || r.name < first->name)) first = &r;
  return first;
}

static const Resource* find(const std::vector<Resource>& resources, uint16_t type, uint16_t id) {
  for (const Resource& r : resources)
    if (!r.type.named && r.type.id == type && !r.name.named && r.name.id == id) return &r;
  return nullptr;
}

static void checkReadsBack(const Bytes& branded, const BrandRequest& request, bool shown) {
  std::vector<Resource> resources = readResources(readPeFile(branded));
  if (!request.icon.empty()) {
    const Resource* group = firstGroup(resources);
    FUZZ_EXPECT(group != nullptr, "the icon group is there");
    std::vector<GroupEntry> entries = readIconGroup(group->data);
    FUZZ_EXPECT(request.icon.size() == entries.size(), "one entry an image");
    for (size_t i = 0; i < entries.size(); ++i) {
      const Resource* image = find(resources, kIconImage, entries[i].imageId);
      FUZZ_EXPECT(image && image->data == request.icon[i].data,
                  "the group's images are the icon's");
    }
  }
  if (request.hasVersion) {
    const Resource* record = find(resources, kVersionRecord, 1);
    FUZZ_EXPECT(record != nullptr, "the version record is there");
    VersionRecord read = readVersionRecord(record->data);
    FUZZ_EXPECT(read.strings == request.version.strings, "the version strings read back");
    FUZZ_EXPECT(read.translations == request.version.translations, "the translation reads back");
  }
  if (!request.manifest.empty()) {
    const Resource* manifest = find(resources, kManifest, 1);
    std::string text = manifest ? std::string(manifest->data.begin(), manifest->data.end()) : "";
    std::string wanted = request.manifest;
    if (!request.executionLevel.empty())
      wanted.replace(wanted.find("asInvoker"), 9, request.executionLevel);
    FUZZ_EXPECT_EQ(wanted, text, "the manifest is the one asked for");
  }
  if (shown) showExe(branded);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  uint8_t flags = takeByte(&input);
  size_t iconSize = takeByte(&input);
  iconSize |= (size_t)takeByte(&input) << 8;
  iconSize = std::min(iconSize, size - std::min(size, input.position));
  Bytes icon(data + input.position, data + input.position + iconSize);
  Bytes exe(data + input.position + iconSize, data + size);

  if (flags & 128) xmlFault(std::string(icon.begin(), icon.end()));
  std::vector<IconImage> images;
  try {
    images = readIconFile(icon);
  } catch (const BrandError&) {
    if (flags & 1) flags &= ~1;
  }
  bool shown = false;
  if (flags & 32) {
    try {
      showExe(exe);
      shown = true;
    } catch (const BrandError&) {
    }
  }
  BrandRequest request = requestOf(flags, images);
  Bytes branded;
  try {
    branded = brandExe(exe, request);
  } catch (const BrandError&) {
    return 0;
  }
  try {
    checkReadsBack(branded, request, shown);
    if (flags & 64)
      FUZZ_EXPECT(brandExe(branded, request) == branded, "branding again gives the same bytes");
  } catch (const BrandError& error) {
    fuzzFailure("a branded exe reads back", "no error", error.message);
  }
  return 0;
}
