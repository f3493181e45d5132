#include "brand/resource_tree.h"

#include <algorithm>

#include "brand/utf16.h"

static const uint32_t kSubdirectory = 0x80000000u;
static const uint32_t kNamedEntry = 0x80000000u;
static const size_t kDirectorySize = 16, kEntrySize = 8, kDataEntrySize = 16;

bool operator<(const ResourceName& a, const ResourceName& b) {
  if (a.named != b.named) return a.named;
  return a.named ? a.text < b.text : a.id < b.id;
}

bool operator==(const ResourceName& a, const ResourceName& b) {
  return a.named == b.named && (a.named ? a.text == b.text : a.id == b.id);
}

ResourceName resourceId(uint16_t id) {
  ResourceName name;
  name.id = id;
  return name;
}

std::string describeName(const ResourceName& name) {
  return name.named ? "\"" + utf8FromUtf16(name.text) + "\"" : std::to_string(name.id);
}

// --- reading -------------------------------------------------------------

// Reads the tree in place: offsets count from the section's start (base),
// and nothing is read past its end.
struct TreeReader {
  const PeFile& pe;
  size_t base, size;
  std::vector<uint32_t> visited;
  std::vector<Resource> resources;
};

static uint16_t treeU16(const TreeReader& reader, uint32_t at, const char* what) {
  if (!fits(reader.size, at, 2)) fail(std::string(what) + " is truncated");
  return u16At(reader.pe.bytes, reader.base + at, what);
}

static uint32_t treeU32(const TreeReader& reader, uint32_t at, const char* what) {
  if (!fits(reader.size, at, 4)) fail(std::string(what) + " is truncated");
  return u32At(reader.pe.bytes, reader.base + at, what);
}

static ResourceName entryName(TreeReader& reader, uint32_t field) {
  ResourceName name;
  if (!(field & kNamedEntry)) {
    if (field > 0xFFFF) fail("the resource tree has an id above 65535");
    name.id = (uint16_t)field;
    return name;
  }
  uint32_t at = field & ~kNamedEntry;
  uint16_t length = treeU16(reader, at, "a resource name");
  if (!fits(reader.size, (uint64_t)at + 2, 2u * length)) fail("a resource name is truncated");
  name.named = true;
  for (uint16_t i = 0; i < length; ++i)
    name.text += (char16_t)treeU16(reader, at + 2 + 2 * i, "a resource name");
  return name;
}

static void readDataEntry(TreeReader& reader, uint32_t at, Resource resource) {
  if (!fits(reader.size, at, kDataEntrySize)) fail("a resource data entry is truncated");
  uint32_t rva = treeU32(reader, at, "a resource data entry");
  uint32_t size = treeU32(reader, at + 4, "a resource data entry");
  resource.codePage = treeU32(reader, at + 8, "a resource data entry");
  if (!size) {  // empty: it may point anywhere, even at the end of its section
    reader.resources.push_back(std::move(resource));
    return;
  }
  size_t offset = fileOffsetOf(reader.pe, rva, size, "a resource's data");
  resource.data.assign(reader.pe.bytes.begin() + offset, reader.pe.bytes.begin() + offset + size);
  reader.resources.push_back(std::move(resource));
}

static void readDirectory(TreeReader& reader, uint32_t at, int level, Resource path) {
  if (std::find(reader.visited.begin(), reader.visited.end(), at) != reader.visited.end())
    fail("the resource tree has a loop");
  reader.visited.push_back(at);
  if (!fits(reader.size, at, kDirectorySize)) fail("a resource directory is truncated");
  uint16_t named = treeU16(reader, at + 12, "a resource directory");
  uint16_t ids = treeU16(reader, at + 14, "a resource directory");
  for (uint32_t i = 0; i < (uint32_t)named + ids; ++i) {
    size_t entry = at + kDirectorySize + kEntrySize * i;
    uint32_t nameField = treeU32(reader, (uint32_t)entry, "a resource directory");
    uint32_t target = treeU32(reader, (uint32_t)entry + 4, "a resource directory");
    ResourceName name = entryName(reader, nameField);
    if (level == 0) path.type = name;
    if (level == 1) path.name = name;
    if (level == 2) {
      if (name.named) fail("the resource tree names a language");
      path.language = name.id;
    }
    bool subdirectory = target & kSubdirectory;
    if (subdirectory != (level < 2)) fail("the resource tree is not three levels deep");
    if (subdirectory)
      readDirectory(reader, target & ~kSubdirectory, level + 1, path);
    else
      readDataEntry(reader, target, path);
  }
}

std::vector<Resource> readResources(const PeFile& pe) {
  if (pe.resourceSection < 0) fail("the exe has no resource section");
  const Section& s = pe.sections[pe.resourceSection];
  size_t start = s.rawPointer + (directoryRva(pe, kResourceDirectory) - s.virtualAddress);
  if (start >= s.rawPointer + s.rawSize) fail("the resource directory is truncated");
  TreeReader reader{pe, start, s.rawPointer + s.rawSize - start, {}, {}};
  readDirectory(reader, 0, 0, Resource{});
  return std::move(reader.resources);
}

// --- writing -------------------------------------------------------------

// The tree's shape: each level's entries, in order, with what they lead to.
struct Layout {
  Bytes bytes;
  std::vector<std::pair<size_t, const ResourceName*>> namesToPlace;  // entry field, name
  std::vector<std::pair<size_t, const Resource*>> dataToPlace;       // data entry, resource
};

static void putDirectoryHeader(Bytes& bytes, size_t at, uint16_t named, uint16_t ids) {
  putU16(bytes, at + 12, named);
  putU16(bytes, at + 14, ids);
}

// Writes the directory of resources [first, last) that share the path so far
// at level; returns its offset. Subdirectories follow their parent's table.
static uint32_t writeLevel(Layout& layout, const std::vector<Resource>& all, size_t first,
                           size_t last, int level) {
  auto keyOf = [level](const Resource& r) {
    return level == 0 ? r.type : level == 1 ? r.name : resourceId(r.language);
  };
  std::vector<std::pair<size_t, size_t>> groups;  // [first, last) of each distinct entry
  for (size_t i = first; i < last; ++i)
    if (groups.empty() || !(keyOf(all[groups.back().first]) == keyOf(all[i])))
      groups.push_back({i, i + 1});
    else
      groups.back().second = i + 1;
  if (groups.size() > 0xFFFF) fail("too many resources for one resource directory");
  size_t at = layout.bytes.size();
  layout.bytes.resize(at + kDirectorySize + kEntrySize * groups.size());
  uint16_t named = 0;
  for (auto& group : groups) named += keyOf(all[group.first]).named;
  putDirectoryHeader(layout.bytes, at, named, (uint16_t)(groups.size() - named));
  for (size_t g = 0; g < groups.size(); ++g) {
    size_t entry = at + kDirectorySize + kEntrySize * g;
    const Resource& head = all[groups[g].first];
    const ResourceName& name = level == 0 ? head.type : head.name;
    if (level < 2 && name.named)
      layout.namesToPlace.push_back({entry, &name});
    else
      putU32(layout.bytes, entry, level == 2 ? head.language : name.id);
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    size_t entry = at + kDirectorySize + kEntrySize * g;
    if (level < 2) {
      uint32_t child = writeLevel(layout, all, groups[g].first, groups[g].second, level + 1);
      putU32(layout.bytes, entry + 4, child | kSubdirectory);
    } else {
      layout.dataToPlace.push_back({entry, &all[groups[g].first]});
    }
  }
  return (uint32_t)at;
}

Bytes writeResourceSection(std::vector<Resource> resources, uint32_t sectionRva) {
  std::stable_sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return a.type < b.type;
    if (!(a.name == b.name)) return a.name < b.name;
    return a.language < b.language;
  });
  Layout layout;
  writeLevel(layout, resources, 0, resources.size(), 0);
  for (auto& [entry, resource] : layout.dataToPlace) {
    putU32(layout.bytes, entry + 4, (uint32_t)layout.bytes.size());
    layout.bytes.resize(layout.bytes.size() + kDataEntrySize);
  }
  for (auto& [entry, name] : layout.namesToPlace) {
    putU32(layout.bytes, entry, (uint32_t)layout.bytes.size() | kNamedEntry);
    appendU16(layout.bytes, (uint16_t)name->text.size());
    for (char16_t unit : name->text) appendU16(layout.bytes, unit);
  }
  for (size_t i = 0; i < layout.dataToPlace.size(); ++i) {
    padTo(layout.bytes, 8);
    size_t dataEntry = u32At(layout.bytes, layout.dataToPlace[i].first + 4, "");
    const Resource& resource = *layout.dataToPlace[i].second;
    putU32(layout.bytes, dataEntry, sectionRva + (uint32_t)layout.bytes.size());
    putU32(layout.bytes, dataEntry + 4, (uint32_t)resource.data.size());
    putU32(layout.bytes, dataEntry + 8, resource.codePage);
    layout.bytes.insert(layout.bytes.end(), resource.data.begin(), resource.data.end());
  }
  return std::move(layout.bytes);
}
