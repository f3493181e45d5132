// Where the Java runtimes of today's vendors register themselves, and the
// walk over every such key in both hives and both registry views.
#ifndef CORVANE_RUNTIME_RUNTIME_LAYOUTS_H
#define CORVANE_RUNTIME_RUNTIME_LAYOUTS_H

// Called for each registered runtime whose home value can be read: where
// describes the key ("HKLM\SOFTWARE\...\17.0.9 (64-bit view)"), version is
// the version the key's name gives (possibly no version at all), home the
// value as stored. The texts belong to the walk.
typedef void (*RegisteredRuntimeVisitor)(const char* where, const char* version, const char* home,
                                         void* context);

// Visits HKLM before HKCU, in each the 32-bit view before the 64-bit one
// (a Windows without a 64-bit view shows its one tree in both), in
// each the layouts in a fixed order (JavaSoft, the Adoptium family,
// Microsoft, Semeru, Zulu, Liberica, SapMachine), and in each key the
// subkeys in enumeration order. A key that cannot be opened or read, a view
// that Windows does not have included, counts as nothing registered there.
void walkRegisteredRuntimes(RegisteredRuntimeVisitor visit, void* context);

#endif
