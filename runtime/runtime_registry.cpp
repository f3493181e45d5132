#include "runtime/runtime_registry.h"

#include "common/text.h"

long openRuntimeKey(const char* path, RegistryKey* key) {
  return platform.registryOpen(kHiveLocalMachine, kViewOwn, path, key);
}

char* versionKeyPath(const char* version) {
  return formatText("%s\\%s", RUNTIME_ROOT_KEY, version);
}

// Far beyond any real path; keeps a corrupt size from asking for all memory.
static const unsigned long kMaxValueSize = 1UL << 24;

char* readRegistryText(RegistryKey key, const char* valueName) {
  unsigned long size = 256;
  for (int attempt = 0; attempt < 8; ++attempt) {
    char* text = static_cast<char*>(allocateOrDie(size + 1));
    unsigned long got = size;
    long result = platform.registryQueryValue(key, valueName, text, &got);
    if (result == kRegistrySuccess && got <= size) {
      text[got] = '\0';  // the value may lack its own NUL
      return text;
    }
    releaseMemory(text);
    if (result != kRegistryMoreData || got <= size || got > kMaxValueSize) return nullptr;
    size = got;  // the value changed size or was larger: ask again with room for it
  }
  return nullptr;
}

bool readSubkeyName(RegistryKey key, unsigned long index, char* name) {
  unsigned long size = kMaxVersionNameLength + 1;
  if (platform.registryEnumSubkey(key, index, name, &size) != kRegistrySuccess) return false;
  if (size > kMaxVersionNameLength) return false;
  name[size] = '\0';
  return true;
}
