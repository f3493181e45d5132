// Where installed Java runtimes are listed in the registry (read only).
#ifndef CORVANE_RUNTIME_RUNTIME_REGISTRY_H
#define CORVANE_RUNTIME_RUNTIME_REGISTRY_H

#include "platform/platform.h"

#define RUNTIME_ROOT_KEY "SOFTWARE\\JavaSoft\\Java Runtime Environment"

// Subkey names longer than this many bytes (in UTF-8) are not read from the
// enumeration, and so are skipped. Windows allows names of up to 255
// characters: one of 255, or a shorter one outside ASCII whose UTF-8 form
// passes the limit, is skipped too.
enum { kMaxVersionNameLength = 254 };

// Opens a key where the runtimes of the launcher's own lookups are listed:
// under HKEY_LOCAL_MACHINE, in the program's own registry view.
long openRuntimeKey(const char* path, RegistryKey* key);

// RUNTIME_ROOT_KEY + "\" + version (heap text, caller frees).
char* versionKeyPath(const char* version);

// The value as a terminated heap text, whatever its length and whether or not
// the registry stored a terminating NUL; NULL when it cannot be read.
char* readRegistryText(RegistryKey key, const char* valueName);

// The name of the subkey at index, or false when it cannot be read (as when
// it is longer than kMaxVersionNameLength bytes). name must hold
// kMaxVersionNameLength + 1.
bool readSubkeyName(RegistryKey key, unsigned long index, char* name);

#endif
