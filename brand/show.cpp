#include "brand/show.h"

#include <stdio.h>

#include <map>

#include "brand/icon_file.h"
#include "brand/resource_tree.h"
#include "brand/version_record.h"

static bool isType(const Resource& r, uint16_t type) { return !r.type.named && r.type.id == type; }

static std::string imageSize(const GroupEntry& e,
                             const std::map<uint16_t, const Resource*>& images) {
  std::string shown = std::to_string(e.width ? e.width : 256) + "x" +
                      std::to_string(e.height ? e.height : 256) + " " + std::to_string(e.bitCount) +
                      "-bit";
  auto image = images.find(e.imageId);
  if (image == images.end()) return shown + " (image " + std::to_string(e.imageId) + " missing)";
  return shown + (isPng(image->second->data) ? " PNG" : "");
}

static std::string showIcons(const std::vector<Resource>& resources) {
  std::map<uint16_t, const Resource*> images;
  for (const Resource& r : resources)
    if (isType(r, kIconImage) && !r.name.named) images[r.name.id] = &r;
  std::string out;
  for (const Resource& r : resources) {
    if (!isType(r, kIconGroup)) continue;
    out += "  " + describeName(r.name) + ":";
    std::string separator = " ";
    for (const GroupEntry& entry : readIconGroup(r.data)) {
      out += separator + imageSize(entry, images);
      separator = ", ";
    }
    out += "\n";
  }
  return out.empty() ? "icon groups: none\n" : "icon groups:\n" + out;
}

static std::string showVersion(const std::vector<Resource>& resources) {
  std::string out;
  for (const Resource& r : resources) {
    if (!isType(r, kVersionRecord)) continue;
    VersionRecord record = readVersionRecord(r.data);
    out += "version record:\n  file version " + showVersionNumbers(record.fileVersion) +
           ", product version " + showVersionNumbers(record.productVersion) + "\n";
    for (const auto& [key, value] : record.strings)
      out += "  " + record.table + " " + key + ": " + value + "\n";
    for (uint32_t pair : record.translations) {
      char shown[32];
      snprintf(shown, sizeof shown, "%04X %04X", pair & 0xFFFF, pair >> 16);
      out += std::string("  translation ") + shown + "\n";
    }
  }
  return out.empty() ? "version record: none\n" : out;
}

static std::string showManifest(const std::vector<Resource>& resources) {
  std::string out;
  for (const Resource& r : resources) {
    if (!isType(r, kManifest)) continue;
    std::string text(r.data.begin(), r.data.end());
    out += "manifest " + describeName(r.name) + ", language " + std::to_string(r.language) + ":\n" +
           text + (text.empty() || text.back() != '\n' ? "\n" : "");
  }
  return out.empty() ? "manifest: none\n" : out;
}

std::string showExe(const Bytes& exe) {
  PeFile pe = readPeFile(exe);
  std::vector<Resource> resources = readResources(pe);
  return std::string(pe.plus ? "PE32+" : "PE32") + " exe\n" + showIcons(resources) +
         showVersion(resources) + showManifest(resources);
}
