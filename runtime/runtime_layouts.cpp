#include "runtime/runtime_layouts.h"

#include <stdlib.h>
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

static void visitHome(const Walk* walk, const char* path, const char* version) {
  RegistryKey key = nullptr;
  if (platform.registryOpen(walk->hive, walk->view, path, &key) != kRegistrySuccess) return;
  const char* valueName = kHomeValues;
  for (char shape = kVersionSubkeys; shape < walk->shape; ++shape) valueName += strlen(valueName) + 1;
  char* home = readRegistryText(key, valueName);
  platform.registryClose(key);
  if (!textIsEmpty(home)) {
    char* where = formatText("%s\\%s (%s-bit view)", walk->hive == kHiveCurrentUser ? "HKCU" : "HKLM", path,
                             walk->view == kView64Bit ? "64" : "32");
    walk->visit(where, version, home, walk->context);
    free(where);
  }
  free(home);
}

// The first run of digits in a name: "17" of "zulu-17-jre".
static char* majorOf(const char* name) {
  while (*name && (*name < '0' || *name > '9')) ++name;
  const char* end = name;
  while (*end >= '0' && *end <= '9') ++end;
  return copyTextPart(name, end - name);
}

// Each subkey of path: at the layout's key (no version yet) a version,
// below an installer's version key a JVM name with its MSI key.
static void walkSubkeys(const Walk* walk, const char* path, const char* version) {
  RegistryKey key = nullptr;
  if (platform.registryOpen(walk->hive, walk->view, path, &key) != kRegistrySuccess) return;
  unsigned long count = 0;
  if (platform.registrySubkeyCount(key, &count) != kRegistrySuccess) count = 0;
  for (unsigned long i = 0; i < count; ++i) {
    char name[kMaxVersionNameLength + 1];
    if (!readSubkeyName(key, i, name)) continue;
    char* subkey = formatText(version ? "%s\\%s\\MSI" : "%s\\%s", path, name);
    if (version) {
      visitHome(walk, subkey, version);
    } else {
      char* named = walk->shape == kMajorSubkeys ? majorOf(name) : copyText(name);
      if (walk->shape == kInstallerKeys)
        walkSubkeys(walk, subkey, named);
      else
        visitHome(walk, subkey, named);
      free(named);
    }
    free(subkey);
  }
  platform.registryClose(key);
}

void walkRegisteredRuntimes(RegisteredRuntimeVisitor visit, void* context) {
  for (int hive = kHiveLocalMachine; hive <= kHiveCurrentUser; ++hive) {
    for (int view = kView32Bit; view >= kView64Bit; --view) {
      for (const char* layout = kLayouts; *layout; layout += strlen(layout) + 1) {
        Walk walk = {(RegistryHive)hive, (RegistryView)view, layout[0], visit, context};
        int kinds = layout[strlen(layout) - 1] == '\\' ? 2 : 1;
        for (int kind = 0; kind < kinds; ++kind) {
          char* path = formatText("SOFTWARE\\%s%s", layout + 1, kinds == 1 ? "" : kind ? "JRE" : "JDK");
          walkSubkeys(&walk, path, nullptr);
          free(path);
        }
      }
    }
  }
}
