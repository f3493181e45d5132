#include "runtime/runtime_layouts.h"

#include <string.h>

#include "common/text.h"
#include "platform/platform.h"
#include "runtime/runtime_registry.h"

// Each layout is a key under SOFTWARE whose subkeys name versions, marked by
// its shape: the character before the key. A key ending in '\' stands for
// two layouts, its "JDK" and its "JRE" subkey.
enum LayoutShape : char {
  kVersionSubkeys = '1',  // <key>\<version>, the home in "JavaHome"
  kInstallerKeys = '2',   // <key>\<version>\<JVM name>\MSI, the home in "Path"
  kMajorSubkeys = '3',    // <key>\<name with the major version> (zulu-17, jdk-8), "InstallationPath"
};

static const char kLayouts[] =
    "1JavaSoft\\Java Runtime Environment\0"
    "1JavaSoft\\Java Development Kit\0"
    "1JavaSoft\\\0"
    "2Eclipse Adoptium\\\0"
    "2Eclipse Foundation\\\0"
    "2AdoptOpenJDK\\\0"
    "2Temurin\\\0"
    "2Microsoft\\JDK\0"
    "2Semeru\\\0"
    "3Azul Systems\\Zulu\0"
    "3Azul Systems\\Zulu 32-bit\0"
    "3BellSoft\\Liberica\0"
    "1SapMachine\\JDK\0";

// By shape, one after the other.
static const char kHomeValues[] = "JavaHome\0Path\0InstallationPath";

struct Walk {
  RegistryHive hive;
  RegistryView view;
  char shape;
  RegisteredRuntimeVisitor visit;
  void* context;
};

// The home of the key below parent; path names that key in full.
static void visitHome(const Walk* walk, RegistryKey parent, const char* below, const char* path,
                      const char* version) {
  RegistryKey key = nullptr;
  if (platform.registryOpenSubkey(parent, below, &key) != kRegistrySuccess) return;
  const char* valueName = kHomeValues;
  for (char shape = kVersionSubkeys; shape < walk->shape; ++shape) valueName += strlen(valueName) + 1;
  char* home = readRegistryText(key, valueName);
  platform.registryClose(key);
  if (!textIsEmpty(home)) {
    char* where = formatText("%s\\%s (%s-bit view)", walk->hive == kHiveCurrentUser ? "HKCU" : "HKLM", path,
                             walk->view == kView64Bit ? "64" : "32");
    walk->visit(where, version, home, walk->context);
    releaseMemory(where);
  }
  releaseMemory(home);
}

// The first run of digits in a name: "17" of "zulu-17-jre".
static char* majorOf(const char* name) {
  while (*name && (*name < '0' || *name > '9')) ++name;
  const char* end = name;
  while (*end >= '0' && *end <= '9') ++end;
  return copyTextPart(name, end - name);
}

static void walkKey(const Walk* walk, RegistryKey parent, const char* below, const char* path,
                    const char* version);

// Each subkey of the open key at path: at the layout's key (no version yet)
// a version, below an installer's version key a JVM name with its MSI key.
static void walkSubkeys(const Walk* walk, RegistryKey key, const char* path, const char* version) {
  unsigned long count = 0;
  if (platform.registrySubkeyCount(key, &count) != kRegistrySuccess) count = 0;
  for (unsigned long i = 0; i < count; ++i) {
    char name[kMaxVersionNameLength + 1];
    if (!readSubkeyName(key, i, name)) continue;
    char* subkey = formatText(version ? "%s\\%s\\MSI" : "%s\\%s", path, name);
    const char* below = subkey + strlen(path) + 1;
    if (version) {
      visitHome(walk, key, below, subkey, version);
    } else {
      char* named = walk->shape == kMajorSubkeys ? majorOf(name) : copyText(name);
      if (walk->shape == kInstallerKeys)
        walkKey(walk, key, below, subkey, named);
      else
        visitHome(walk, key, below, subkey, named);
      releaseMemory(named);
    }
    releaseMemory(subkey);
  }
}

static void walkKey(const Walk* walk, RegistryKey parent, const char* below, const char* path,
                    const char* version) {
  RegistryKey key = nullptr;
  if (platform.registryOpenSubkey(parent, below, &key) != kRegistrySuccess) return;
  walkSubkeys(walk, key, path, version);
  platform.registryClose(key);
}

static bool isVendorOf(const char* layout, const char* vendor, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (layout[1 + i] != vendor[i]) return false;
  return layout[1 + length] == '\\';
}

// The layouts of the vendor that the first one names, below its vendor key,
// which is opened once; none when that key does not exist. Should the key
// exist but not open, each layout is opened below SOFTWARE instead, as its
// own key may still be readable. Returns the next vendor's first layout.
static const char* walkVendor(Walk* walk, RegistryKey software, const char* layouts) {
  const char* vendor = layouts + 1;
  size_t length = strchr(vendor, '\\') - vendor;
  char* vendorName = copyTextPart(vendor, length);
  RegistryKey vendorKey = nullptr;
  long opened = platform.registryOpenSubkey(software, vendorName, &vendorKey);
  releaseMemory(vendorName);
  RegistryKey parent = opened == kRegistrySuccess ? vendorKey : software;
  size_t parentLength = strlen("SOFTWARE\\") + (opened == kRegistrySuccess ? length + 1 : 0);
  const char* layout = layouts;
  for (; *layout && isVendorOf(layout, vendor, length); layout += strlen(layout) + 1) {
    if (opened == kRegistryNotFound) continue;
    walk->shape = layout[0];
    int kinds = layout[strlen(layout) - 1] == '\\' ? 2 : 1;
    for (int kind = 0; kind < kinds; ++kind) {
      char* path = formatText("SOFTWARE\\%s%s", layout + 1, kinds == 1 ? "" : kind ? "JRE" : "JDK");
      walkKey(walk, parent, path + parentLength, path, nullptr);
      releaseMemory(path);
    }
  }
  if (opened == kRegistrySuccess) platform.registryClose(vendorKey);
  return layout;
}

// SOFTWARE is opened once for each hive and view, the only open that names
// the view; every key below it is opened from there.
void walkRegisteredRuntimes(RegisteredRuntimeVisitor visit, void* context) {
  for (int hive = kHiveLocalMachine; hive <= kHiveCurrentUser; ++hive) {
    for (int view = kView32Bit; view >= kView64Bit; --view) {
      RegistryKey software = nullptr;
      if (platform.registryOpen((RegistryHive)hive, (RegistryView)view, "SOFTWARE", &software) !=
          kRegistrySuccess)
        continue;
      Walk walk = {(RegistryHive)hive, (RegistryView)view, 0, visit, context};
      for (const char* layout = kLayouts; *layout;) layout = walkVendor(&walk, software, layout);
      platform.registryClose(software);
    }
  }
}
