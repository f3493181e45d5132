#include "brand/brand_exe.h"

#include <algorithm>
#include <set>

#include "brand/manifest.h"
#include "brand/pe_writer.h"
#include "brand/resource_tree.h"

static const uint16_t kNeutral = 0;

static bool isType(const Resource& r, uint16_t type) { return !r.type.named && r.type.id == type; }

static void removeWhere(std::vector<Resource>& resources, auto&& condition) {
  resources.erase(std::remove_if(resources.begin(), resources.end(), condition), resources.end());
}

// The group the shell shows: the first in the tree's order.
static const Resource* shellIconGroup(const std::vector<Resource>& resources) {
  const Resource* first = nullptr;
  for (const Resource& r : resources)
    if (isType(r, kIconGroup) && (!first || r.name < first->name)) first = &r;
  return first;
}

static void replaceShellIcon(std::vector<Resource>& resources, const std::vector<IconImage>& icon) {
  const Resource* group = shellIconGroup(resources);
  ResourceName groupName = group ? group->name : resourceId(1);
  uint16_t language = group ? group->language : kUsEnglish;
  std::set<uint16_t> oldImages, kept;
  for (const Resource& r : resources) {
    if (!isType(r, kIconGroup)) continue;
    for (const GroupEntry& entry : readIconGroup(r.data))
      (r.name == groupName ? oldImages : kept).insert(entry.imageId);
  }
  removeWhere(resources, [&](const Resource& r) {
    return (isType(r, kIconGroup) && r.name == groupName) ||
           (isType(r, kIconImage) && !r.name.named && oldImages.count(r.name.id) &&
            !kept.count(r.name.id));
  });
  std::set<uint16_t> taken = kept;
  for (const Resource& r : resources)
    if (isType(r, kIconImage) && !r.name.named) taken.insert(r.name.id);
  std::vector<uint16_t> ids;
  for (uint32_t id = 1; ids.size() < icon.size(); ++id) {
    if (id > 0xFFFF) fail("the exe has no free icon ids left for the icon's images");
    if (!taken.count((uint16_t)id)) ids.push_back((uint16_t)id);
  }
  for (size_t i = 0; i < icon.size(); ++i)
    resources.push_back(
        Resource{resourceId(kIconImage), resourceId(ids[i]), language, 0, icon[i].data});
  resources.push_back(
      Resource{resourceId(kIconGroup), groupName, language, 0, iconGroupData(icon, ids)});
}

static bool isManifest(const Resource& r) {
  return isType(r, kManifest) && !r.name.named && r.name.id == 1;
}

static void replaceManifest(std::vector<Resource>& resources, const BrandRequest& request) {
  std::string text = request.manifest;
  if (text.empty()) {
    auto own = std::find_if(resources.begin(), resources.end(), isManifest);
    if (own == resources.end()) fail("the exe has no manifest whose execution level could change");
    text.assign(own->data.begin(), own->data.end());
  }
  if (!request.executionLevel.empty()) text = withExecutionLevel(text, request.executionLevel);
  removeWhere(resources, isManifest);
  resources.push_back(
      Resource{resourceId(kManifest), resourceId(1), kNeutral, 0, Bytes(text.begin(), text.end())});
}

Bytes brandExe(const Bytes& exe, const BrandRequest& request) {
  PeFile pe = readPeFile(exe);
  if (directoryRva(pe, kCertificateDirectory) && !request.removeSignature)
    fail(
        "the exe is signed, and branding breaks its signature: brand it unsigned and sign "
        "the result, or give --remove-signature");
  checkResourceSectionReplaceable(pe);
  std::vector<Resource> resources = readResources(pe);
  if (!request.icon.empty()) replaceShellIcon(resources, request.icon);
  if (request.hasVersion) {
    Bytes record = versionRecordData(request.version);
    removeWhere(resources, [](const Resource& r) { return isType(r, kVersionRecord); });
    resources.push_back(Resource{resourceId(kVersionRecord), resourceId(1), kUsEnglish, 0, record});
  }
  if (!request.manifest.empty() || !request.executionLevel.empty())
    replaceManifest(resources, request);
  uint32_t sectionRva = pe.sections[pe.resourceSection].virtualAddress;
  return replaceResourceSection(pe, writeResourceSection(std::move(resources), sectionRva));
}
