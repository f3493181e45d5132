#include "platform/fake_platform.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>

#include "platform/fake_files.h"
#include "platform/fake_code_page.h"
#include "platform/fake_memory.h"
#include "platform/platform.h"

static FakeState state;
static jmp_buf* exitJump;
static int exitStatus;

FakeState& fake() { return state; }

std::string fakeLowerCase(std::string text) {
  for (char& c : text) c = (char)tolower((unsigned char)c);
  return text;
}

static bool hasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// Normalized form of a path as the fake stores it: relative paths joined to
// the current directory, '/' turned into '\', repeated separators folded, lower case.
std::string fakeNormalizePath(const std::string& path) {
  std::string full = path;
  std::replace(full.begin(), full.end(), '/', '\\');
  if (hasDrive(full)) {
    if (full.size() == 2 || full[2] != '\\') {  // "C:name" is relative to that drive's directory
      std::string rest = full.substr(2);
      full = full.substr(0, 2) == state.currentDirectory.substr(0, 2)
                 ? state.currentDirectory + "\\" + rest
                 : full.substr(0, 2) + "\\" + rest;
    }
  } else if (full.compare(0, 2, "\\\\") == 0) {
    // a network path stays as it is
  } else if (!full.empty() && full[0] == '\\') {
    full = state.currentDirectory.substr(0, 2) + full;  // the root of the current drive
  } else {
    full = state.currentDirectory + "\\" + full;
  }
  std::string folded;
  for (size_t i = 0; i < full.size(); ++i) {
    if (full[i] == '\\' && i > 1 && folded.back() == '\\') continue;
    folded += full[i];
  }
  while (folded.size() > 3 && folded.back() == '\\') folded.pop_back();
  return fakeLowerCase(folded);
}

// Every folder on a file's path exists as a folder of its own.
static void addParentFolders(const std::string& normalized) {
  for (size_t slash = normalized.find('\\', 3); slash != std::string::npos;
       slash = normalized.find('\\', slash + 1))
    state.directories[normalized.substr(0, slash)];
}

void fakeAddFile(const std::string& path, const std::string& content) {
  std::string normalized = fakeNormalizePath(path);
  addParentFolders(normalized);
  state.files[normalized] = content;
}

bool fakeHasFile(const std::string& path) {
  if (state.files.count(fakeNormalizePath(path))) return true;
  for (const auto& shortPath : state.shortPaths)
    if (fakeNormalizePath(shortPath.second) == fakeNormalizePath(path))
      return state.files.count(shortPath.first) != 0;
  return false;
}

void fakeAddDirectoryEntry(const std::string& directory, const std::string& name,
                           bool isDirectory, const std::string& shortName) {
  state.directories[fakeNormalizePath(directory)].push_back({name, isDirectory, shortName});
}

void fakeSetShortPath(const std::string& path, const std::string& shortForm) {
  state.shortPaths[fakeNormalizePath(path)] = shortForm;
}

void fakeSetEnvironment(const std::string& name, const std::string& value) {
  for (auto& variable : state.environment) {
    if (strcasecmp(variable.first.c_str(), name.c_str()) == 0) {
      variable.second = value;
      return;
    }
  }
  state.environment.push_back({name, value});
}

static FakeRegistryTreeView treeViewOf(RegistryView view) {
  if (!state.windowsHas64BitView) return kFakeTree32Bit;
  if (view == kViewOwn) return state.program64Bit ? kFakeTree64Bit : kFakeTree32Bit;
  return view == kView64Bit ? kFakeTree64Bit : kFakeTree32Bit;
}

// The tree that a view of the hive reads, as the program and Windows are set
// up at the time of the call.
static FakeRegistryTree& fakeRegistryTree(RegistryHive hive, RegistryView view) {
  return hive == kHiveCurrentUser ? state.userRegistry : state.machineRegistry[treeViewOf(view)];
}

static FakeRegistryKey& addKey(FakeRegistryTree& tree, const std::string& path) {
  std::string name = fakeLowerCase(path);
  auto found = tree.find(name);
  if (found != tree.end()) return found->second;
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos)
    addKey(tree, path.substr(0, slash)).subkeys.push_back(path.substr(slash + 1));
  return tree[name];
}

static void setValue(FakeRegistryKey& key, const std::string& name, const std::string& data) {
  for (auto& existing : key.values) {
    if (strcasecmp(existing.name.c_str(), name.c_str()) == 0) {
      existing.data = data;
      return;
    }
  }
  key.values.push_back({name, data});
}

void fakeAddRegistryKey(RegistryHive hive, RegistryView view, const std::string& path) {
  addKey(fakeRegistryTree(hive, view), path);
}

void fakeAddRegistryKey(const std::string& path) {
  fakeAddRegistryKey(kHiveLocalMachine, kViewOwn, path);
}

void fakeSetRegistrySubkeys(RegistryHive hive, RegistryView view, const std::string& path,
                            const std::vector<std::string>& names) {
  addKey(fakeRegistryTree(hive, view), path).subkeys = names;
}

void fakeSetRegistrySubkeys(const std::string& path, const std::vector<std::string>& names) {
  fakeSetRegistrySubkeys(kHiveLocalMachine, kViewOwn, path, names);
}

void fakeSetRegistryValue(RegistryHive hive, RegistryView view, const std::string& path,
                          const std::string& name, const std::string& value, bool withNul) {
  std::string data = withNul ? value + std::string(1, '\0') : value;
  setValue(addKey(fakeRegistryTree(hive, view), path), name, data);
}

void fakeSetRegistryValue(const std::string& path, const std::string& name,
                          const std::string& value, bool withNul) {
  fakeSetRegistryValue(kHiveLocalMachine, kViewOwn, path, name, value, withNul);
}

bool fakeRunning(void) { return exitJump != nullptr; }

ExitResult runCatchingExit(const std::function<void()>& body) {
  jmp_buf here;
  jmp_buf* outer = exitJump;
  exitJump = &here;
  if (setjmp(here) != 0) {
    exitJump = outer;
    return {true, exitStatus};
  }
  body();
  exitJump = outer;
  return {false, 0};
}

// Open handles are the fake's own objects, kept here by number: an exit in
// the middle of a walk leaves nothing allocated behind. A handle of an
// earlier install names nothing and closes nothing.
template <typename Object>
struct HandleTable {
  std::map<uintptr_t, Object> open;
  Object* find(void* handle) {
    auto found = open.find(reinterpret_cast<uintptr_t>(handle));
    return found == open.end() ? nullptr : &found->second;
  }
};
static uintptr_t lastHandle;  // never reset, so that no handle is given out twice

template <typename Object>
static void* openHandle(HandleTable<Object>& table, int& openCount, Object object) {
  table.open.emplace(++lastHandle, std::move(object));
  ++openCount;
  return reinterpret_cast<void*>(lastHandle);
}

template <typename Object>
static void closeHandle(HandleTable<Object>& table, int& openCount, void* handle) {
  if (table.open.erase(reinterpret_cast<uintptr_t>(handle))) --openCount;
}

static int fakeMessageBox(const char* text, const char* caption, unsigned style) {
  if (FAKE_CALL_FAILS(messageBox)) return 0;  // not shown
  state.boxes.push_back({text, caption, style});
  if (!state.answers.empty()) {
    int answer = state.answers.front();
    state.answers.pop_front();
    return answer;
  }
  return (style & kBoxYesNo) ? state.yesNoAnswer : kAnswerOk;
}

static char* fakeCurrentDirectory(void) {
  if (FAKE_CALL_FAILS(currentDirectory)) return nullptr;
  return fakeHeapText(state.currentDirectory);
}

// A directory exists when it has a listing or holds a file; a drive's root
// (a letter, a colon) always does.
bool isFakeDirectory(const std::string& normalized) {
  bool known = state.directories.count(normalized) ||
               (normalized.size() <= 3 && isalpha((unsigned char)normalized[0]));
  for (const auto& file : state.files)
    known = known || file.first.compare(0, normalized.size() + 1, normalized + "\\") == 0;
  return known;
}

static bool fakeChangeDirectory(const char* path) {
  state.directoryChanges.push_back(path);
  if (FAKE_CALL_FAILS(changeDirectory)) return false;
  std::string target = fakeNormalizePath(path);
  if (!isFakeDirectory(target)) return false;
  state.currentDirectory = target;
  return true;
}

static char* fakeAbsolutePath(const char* path) {
  if (FAKE_CALL_FAILS(absolutePath)) return nullptr;
  return fakeHeapText(fakeNormalizePath(path));
}

// A value handed out stays valid whatever the environment becomes, as the
// table promises: a copy kept until the fake is installed again.
static std::deque<std::string> valuesHandedOut;

static const char* fakeEnvironmentValue(const char* name) {
  if (FAKE_CALL_FAILS(environmentValue)) return nullptr;
  for (const auto& variable : state.environment)
    if (strcasecmp(variable.first.c_str(), name) == 0)
      return valuesHandedOut.emplace_back(variable.second).c_str();
  return nullptr;
}

static bool fakeSetEnvironmentValue(const char* name, const char* value) {
  if (FAKE_CALL_FAILS(setEnvironmentValue)) return false;
  fakeSetEnvironment(name, value);
  state.environmentChanges.push_back(std::string(name) + "=" + value);
  return true;
}

// Wildcards as the directory listing knows them: '*' any run, '?' one character,
// letters compared without regard to case.
static bool wildcardMatches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*')
    return wildcardMatches(pattern + 1, name) || (*name && wildcardMatches(pattern, name + 1));
  if (*name == '\0') return false;
  if (*pattern != '?' && tolower((unsigned char)*pattern) != tolower((unsigned char)*name))
    return false;
  return wildcardMatches(pattern + 1, name + 1);
}

struct FakeListing {
  std::vector<FakeDirectoryEntry> entries;
  size_t next;
};
static HandleTable<FakeListing> listings;

static void fillEntry(const FakeDirectoryEntry& found, ListedEntry* entry) {
  snprintf(entry->name, sizeof entry->name, "%s", found.name.c_str());
  entry->isDirectory = found.isDirectory;
  entry->isLink = false;
  entry->failed = false;
}

static DirectoryListing fakeListFirst(const char* pattern, ListedEntry* entry) {
  if (FAKE_CALL_FAILS(listFirst)) return nullptr;
  std::string text = pattern;
  size_t cut = text.find_last_of("/\\");
  std::string directory = cut == std::string::npos ? "" : text.substr(0, cut + 1);
  std::string wildcard = cut == std::string::npos ? text : text.substr(cut + 1);
  std::string folder = fakeNormalizePath(directory.empty() ? "." : directory);
  if (!isFakeDirectory(folder)) return nullptr;
  FakeListing listing{{}, 0};
  for (const auto& candidate : fakeFolderEntries(folder))
    if (wildcardMatches(wildcard.c_str(), candidate.name.c_str()) ||
        (!candidate.shortName.empty() && wildcardMatches(wildcard.c_str(), candidate.shortName.c_str())))
      listing.entries.push_back(candidate);
  if (listing.entries.empty()) return nullptr;
  fillEntry(listing.entries[listing.next++], entry);
  return openHandle(listings, state.openListings, std::move(listing));
}

static bool fakeListNext(DirectoryListing handle, ListedEntry* entry) {
  entry->failed = true;
  if (FAKE_CALL_FAILS(listNext)) return false;
  FakeListing* listing = listings.find(handle);
  entry->failed = !listing;
  if (!listing || listing->next == listing->entries.size()) return false;
  fillEntry(listing->entries[listing->next++], entry);
  return true;
}

static void fakeListClose(DirectoryListing handle) {
  closeHandle(listings, state.openListings, handle);
}

struct FakeFile {
  std::string content;
  size_t position;
};
static HandleTable<FakeFile> files;

static FileHandle fakeOpenFile(const char* path, const char** errorText) {
  if (FAKE_CALL_FAILS(openFile)) {
    *errorText = "Permission denied";
    return nullptr;
  }
  auto found = state.files.find(fakeNormalizePath(path));
  if (found == state.files.end()) {
    *errorText = "No such file or directory";
    return nullptr;
  }
  return openHandle(files, state.openFiles, FakeFile{found->second, 0});
}

static size_t fakeReadFile(FileHandle handle, char* buffer, size_t size) {
  if (FAKE_CALL_FAILS(readFile)) return kReadFailed;
  FakeFile* file = files.find(handle);
  if (!file) return kReadFailed;
  size_t count = std::min(size, file->content.size() - file->position);
  memcpy(buffer, file->content.data() + file->position, count);
  file->position += count;
  return count;
}

static void fakeCloseFile(FileHandle handle) { closeHandle(files, state.openFiles, handle); }

static const long kNoMoreItems = 259;
static const long kAccessDenied = 5;
static const unsigned long kNotEnoughMemory = 8;
static const unsigned long kDiskFull = 112;

// An open key names its tree and its path: later changes to the key show.
struct FakeOpenKey {
  FakeRegistryTree* tree;
  std::string path;
};
static HandleTable<FakeOpenKey> registryKeys;

static FakeRegistryKey* keyOf(RegistryKey key) {
  FakeOpenKey* open = registryKeys.find(key);
  if (!open) return nullptr;
  auto found = open->tree->find(open->path);
  return found == open->tree->end() ? nullptr : &found->second;
}

static long openFakeKey(FakeRegistryTree& tree, const std::string& path, RegistryKey* key) {
  *key = nullptr;
  std::string name = fakeLowerCase(path);
  if (!tree.count(name)) return kRegistryNotFound;
  const auto& unreadable = state.unreadableRegistryKeys;
  if (std::count(unreadable.begin(), unreadable.end(), name)) return kAccessDenied;
  *key = openHandle(registryKeys, state.openRegistryKeys, FakeOpenKey{&tree, name});
  return kRegistrySuccess;
}

static long fakeRegistryOpen(RegistryHive hive, RegistryView view, const char* path,
                             RegistryKey* key) {
  *key = nullptr;
  if (FAKE_CALL_FAILS(registryOpen)) return kAccessDenied;
  return openFakeKey(fakeRegistryTree(hive, view), path, key);
}

// The parent's own tree, whatever the program's own view: an open below a
// key is never redirected. An empty path opens the parent again.
static long fakeRegistryOpenSubkey(RegistryKey parent, const char* path, RegistryKey* key) {
  *key = nullptr;
  if (FAKE_CALL_FAILS(registryOpenSubkey)) return kAccessDenied;
  FakeOpenKey* open = registryKeys.find(parent);
  if (!open) return kAccessDenied;  // ERROR_INVALID_HANDLE would do as well
  return openFakeKey(*open->tree, *path ? open->path + "\\" + path : open->path, key);
}

static long fakeRegistryQueryValue(RegistryKey key, const char* name, char* buffer,
                                   unsigned long* size) {
  if (FAKE_CALL_FAILS(registryQueryValue)) return kAccessDenied;
  FakeRegistryKey* found = keyOf(key);
  if (!found) return kRegistryNotFound;
  for (const auto& value : found->values) {
    if (strcasecmp(value.name.c_str(), name) != 0) continue;
    unsigned long room = *size;
    *size = value.data.size();
    if (value.data.size() > room) return kRegistryMoreData;
    memcpy(buffer, value.data.data(), value.data.size());
    return kRegistrySuccess;
  }
  return kRegistryNotFound;
}

static long fakeRegistrySubkeyCount(RegistryKey key, unsigned long* count) {
  if (FAKE_CALL_FAILS(registrySubkeyCount)) return kAccessDenied;
  FakeRegistryKey* found = keyOf(key);
  *count = found ? found->subkeys.size() : 0;
  return kRegistrySuccess;
}

static long fakeRegistryEnumSubkey(RegistryKey key, unsigned long index, char* name,
                                   unsigned long* size) {
  if (FAKE_CALL_FAILS(registryEnumSubkey)) return kAccessDenied;
  FakeRegistryKey* found = keyOf(key);
  if (!found || index >= found->subkeys.size()) return kNoMoreItems;
  const std::string& subkey = found->subkeys[index];
  if (subkey.size() + 1 > *size) return kRegistryMoreData;
  memcpy(name, subkey.c_str(), subkey.size() + 1);
  *size = subkey.size();
  return kRegistrySuccess;
}

static void fakeRegistryClose(RegistryKey key) {
  closeHandle(registryKeys, state.openRegistryKeys, key);
}

// The service table's registry writes (fake_service_platform.cpp), here with
// the keys they write: in HKLM the program's own view, as the reads.
long fakeRegistryCreateKey(RegistryHive hive, const char* path, RegistryKey* key, bool* created) {
  *key = nullptr;
  *created = false;
  if (FAKE_SERVICE_CALL_FAILS(registryCreateKey)) return kAccessDenied;
  FakeRegistryTree& tree = fakeRegistryTree(hive, kViewOwn);
  *created = !tree.count(fakeLowerCase(path));
  addKey(tree, path);
  return openFakeKey(tree, path, key);
}

static long setFakeValue(RegistryKey key, const char* name, const std::string& data) {
  FakeRegistryKey* found = keyOf(key);
  if (!found) return kAccessDenied;
  setValue(*found, name, data);
  return kRegistrySuccess;
}

long fakeRegistrySetValue(RegistryKey key, const char* name, const char* text,
                          unsigned long number) {
  if (FAKE_SERVICE_CALL_FAILS(registrySetValue)) return kAccessDenied;
  unsigned char bytes[4] = {(unsigned char)number, (unsigned char)(number >> 8),
                            (unsigned char)(number >> 16), (unsigned char)(number >> 24)};
  return setFakeValue(key, name, text ? std::string(text) + std::string(1, '\0')
                                      : std::string(reinterpret_cast<char*>(bytes), 4));
}

// As RegDeleteKeyW: a key with subkeys stays.
long fakeRegistryDeleteKey(RegistryHive hive, const char* path) {
  if (FAKE_SERVICE_CALL_FAILS(registryDeleteKey)) return kAccessDenied;
  FakeRegistryTree& tree = fakeRegistryTree(hive, kViewOwn);
  auto found = tree.find(fakeLowerCase(path));
  if (found == tree.end()) return kRegistryNotFound;
  if (!found->second.subkeys.empty()) return kAccessDenied;
  tree.erase(found);
  std::string text = path;
  size_t slash = text.rfind('\\');
  auto parent = slash == std::string::npos ? tree.end() : tree.find(fakeLowerCase(text.substr(0, slash)));
  if (parent != tree.end()) {
    std::vector<std::string>& subkeys = parent->second.subkeys;
    for (size_t i = 0; i < subkeys.size(); ++i)
      if (strcasecmp(subkeys[i].c_str(), text.substr(slash + 1).c_str()) == 0)
        subkeys.erase(subkeys.begin() + (long)i--);
  }
  return kRegistrySuccess;
}

// A process handle, and the handle of a suspended process's thread, stand
// for the process's place in state.processes.
static HandleTable<size_t> processHandles, threadHandles;

// Records the start asked for; a start that does not fail gets a handle.
static bool startFake(bool fails, char* commandLine, const ProcessStart& start, bool inherit,
                      ProcessHandle* process, unsigned long* errorCode) {
  unsigned long id = 1000 + state.processes.size();
  const char* title = start.title;
  state.processes.push_back({commandLine, false, title != nullptr, title ? title : "", false, 0,
                             false, false, false, 0, false, id, inherit, start.titleIsAppId,
                             start.usesShowWindow, start.showWindow, start.noConsoleWindow, 0, 0,
                             false, false});
  *process = nullptr;
  if (fails) {
    *errorCode = state.startErrorCode;
    return false;
  }
  state.processes.back().started = true;
  *process = openHandle(processHandles, state.openProcesses, state.processes.size() - 1);
  *errorCode = 0;
  return true;
}

static bool fakeStartProcess(char* commandLine, const char* title, ProcessHandle* process,
                             unsigned long* errorCode) {
  ProcessStart start = {};
  start.title = title;
  return startFake(FAKE_CALL_FAILS(startProcess), commandLine, start, false, process, errorCode);
}

static void fakeCloseProcess(ProcessHandle process) {
  size_t* index = processHandles.find(process);
  if (!index) return;
  state.processes[*index].closed = true;
  state.events.push_back("close process " + std::to_string(*index + 1));
  closeHandle(processHandles, state.openProcesses, process);
}

static FakeProcess* processOf(ProcessHandle process) {
  size_t* index = processHandles.find(process);
  return index ? &state.processes[*index] : nullptr;
}

FakeProcess* fakeProcessOf(ProcessHandle process) { return processOf(process); }

static void fakeWaitForInputIdle(ProcessHandle process, unsigned long milliseconds) {
  if (FAKE_CALL_FAILS(waitForInputIdle)) return;
  if (FakeProcess* started = processOf(process)) {
    started->waitedForInputIdle = true;
    started->idleMilliseconds = milliseconds;
  }
}

static void fakeWaitForExit(ProcessHandle process) {
  if (!state.whileJavaRuns.empty()) {
    std::function<void()> work = state.whileJavaRuns.front();
    state.whileJavaRuns.pop_front();
    work();
  }
  if (!state.javaRunMilliseconds.empty()) {
    state.clock += state.javaRunMilliseconds.front();
    state.javaRunMilliseconds.pop_front();
  }
  if (FAKE_CALL_FAILS(waitForExit)) return;
  if (FakeProcess* started = processOf(process)) started->waitedForExit = true;
}

static bool fakeProcessExitCode(ProcessHandle process, unsigned long* code) {
  if (FAKE_CALL_FAILS(processExitCode)) return false;
  FakeProcess* started = processOf(process);
  if (!started || !started->waitedForExit) return false;  // still running
  *code = started->terminated ? 1 : 0;
  if (started->terminated) return true;
  if (!state.exitCodes.empty()) {
    *code = state.exitCodes.front();
    state.exitCodes.pop_front();
  }
  return true;
}

static void fakeWriteOutput(const char* text) {
  if (FAKE_CALL_FAILS(writeOutput)) return;  // lost
  state.output += text;
}

static void fakeWriteError(const char* text) {
  if (FAKE_CALL_FAILS(writeError)) return;
  state.error += text;
}

static char* fakeAnsiToUtf8(const char* text) {
  if (FAKE_CALL_FAILS(ansiToUtf8)) return nullptr;
  return fakeHeapText(fakeAnsiToUtf8Form(state.codePage, text));
}

static bool fakeAnsiCanSpell(const char* text) {
  if (FAKE_CALL_FAILS(ansiCanSpell)) return false;
  bool exact = false;
  fakeAnsiForm(state.codePage, text, false, &exact);
  return exact;
}

// Fails as when memory runs out.
static char* fakeAnsiBytes(const char* text) {
  if (FAKE_CALL_FAILS(ansiBytes)) return nullptr;
  return fakeHeapText(fakeAnsiForm(state.codePage, text, true));
}

static char* fakeShortPath(const char* path) {
  if (FAKE_CALL_FAILS(shortPath)) return nullptr;
  std::string normalized = fakeNormalizePath(path);
  if (!state.files.count(normalized) && !isFakeDirectory(normalized)) return nullptr;
  auto found = state.shortPaths.find(normalized);
  bool hasShortForm = state.volumeHasShortNames && found != state.shortPaths.end();
  return fakeHeapText(hasShortForm ? found->second : std::string(path));
}

// Windows's upper case of a character, for the scripts the tests use: Latin,
// Greek and Cyrillic letters.
static long upperCase(long point) {
  bool lowerLatin = (point >= 'a' && point <= 'z') || (point >= 0xE0 && point <= 0xFE && point != 0xF7);
  if (lowerLatin || (point >= 0x3B1 && point <= 0x3C9 && point != 0x3C2) ||
      (point >= 0x430 && point <= 0x44F))
    return point - 0x20;
  if (point == 0xFF) return 0x178;
  if (point == 0x3C2) return 0x3A3;  // final sigma
  if (point >= 0x450 && point <= 0x45F) return point - 0x50;
  return point;
}

static bool fakePathsEqual(const char* a, const char* b) {
  if (FAKE_CALL_FAILS(pathsEqual)) return false;
  const unsigned char *p = (const unsigned char*)a, *q = (const unsigned char*)b;
  while (*p && *q)
    if (upperCase(fakeNextCodePoint(&p)) != upperCase(fakeNextCodePoint(&q))) return false;
  return !*p && !*q;
}

// Inside runCatchingExit the exit comes back there, and the process's memory
// is given back; elsewhere (death tests) the recorded streams are written
// out and the process really ends.
static void fakeExitProcess(int status) {
  if (exitJump) {
    fakeGiveBackMemory();
    exitStatus = status;
    longjmp(*exitJump, 1);
  }
  fputs(state.output.c_str(), stdout);
  fputs(state.error.c_str(), stderr);
  fflush(nullptr);
  _exit(status);
}

static char* fakeProgramPath(void) {
  if (FAKE_CALL_FAILS(programPath)) return nullptr;
  return fakeHeapText(state.programPath);
}

static char* fakeSystemDirectory(void) {
  if (FAKE_CALL_FAILS(systemDirectory)) return nullptr;
  return fakeHeapText(state.systemDirectory);
}

static char* fakeCommandLine(void) {
  if (FAKE_CALL_FAILS(commandLine)) return nullptr;
  return fakeHeapText(state.commandLine);
}

static bool fakeStartupShowState(unsigned short* showWindow) {
  *showWindow = 0;
  if (FAKE_CALL_FAILS(startupShowState) || state.startupShowState < 0) return false;
  *showWindow = (unsigned short)state.startupShowState;
  return true;
}

static bool fakeHasConsole(void) {
  if (FAKE_CALL_FAILS(hasConsole)) return false;  // as GetConsoleCP answers without one
  return state.hasConsole;
}

static void fakeOutliveConsoleInterrupts(void) {
  if (FAKE_CALL_FAILS(outliveConsoleInterrupts)) return;  // Ctrl+C still ends the launcher
  state.interruptsOutlivedAfter = (int)state.processes.size();
}

// Cannot fail: it reads a flag the console handler set.
static bool fakeInterruptedByUser(void) { return state.userInterrupted; }

void fakeNoteEvent(const std::string& text) { state.events.push_back(text); }

static void fakeAwaitAtConsoleEnd(ProcessHandle process) {
  if (FAKE_CALL_FAILS(awaitAtConsoleEnd)) return;  // a closed console ends the launcher at once
  size_t* index = processHandles.find(process);
  if (index) fakeNoteEvent("await " + std::to_string(*index + 1) + " at console end");
}

// A job handle stands for the job's place in state.jobs.
static HandleTable<size_t> jobHandles;

int fakeJobNumberOf(JobHandle job) {
  size_t* index = jobHandles.find(job);
  return index ? (int)*index + 1 : 0;
}

static JobHandle fakeCreateJob(unsigned long limitFlags, unsigned long* errorCode) {
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(createJob)) return nullptr;
  *errorCode = 0;
  state.jobs.push_back({limitFlags, false});
  fakeNoteEvent("create job " + std::to_string(state.jobs.size()));
  return openHandle(jobHandles, state.openJobs, state.jobs.size() - 1);
}

// The end of a pipe: the pipe's place in state.pipes, and which end it is.
struct FakePipeEnd {
  size_t pipe;
  bool reader;
};
static HandleTable<FakePipeEnd> pipeEnds;

// The pipe a writer end stands for; nullptr for none (the launcher's own stream).
static FakePipe* pipeOf(PipeHandle writer, int* number) {
  FakePipeEnd* end = pipeEnds.find(writer);
  *number = end ? (int)end->pipe + 1 : 0;
  return end ? &state.pipes[end->pipe] : nullptr;
}

// Java writes what the test scripted, each write where its stream goes.
static void deliverJavaWrites(size_t index, FakePipe* output, FakePipe* error) {
  for (FakePipe* pipe : {output, error})
    if (pipe) pipe->children.push_back(index);
  for (const FakeWrite& write : state.javaWrites) {
    FakePipe* pipe = write.stream == 1 ? output : error;
    if (pipe)
      pipe->held += write.bytes;
    else
      (write.stream == 1 ? state.javaOwnOutput : state.javaOwnError) += write.bytes;
  }
  for (FakePipe* pipe : {output, error})
    if (pipe && state.javaLeavesOutputOpen) pipe->heldByOthers = true;
}

static bool fakeStartSuspendedProcess(char* commandLine, const ProcessStart* start,
                                      ProcessHandle* process, ThreadHandle* thread,
                                      unsigned long* processId, unsigned long* errorCode) {
  bool fails = FAKE_CALL_FAILS(startSuspendedProcess);
  bool started = startFake(fails, commandLine, *start, true, process, errorCode);
  FakeProcess& java = state.processes.back();
  java.suspended = true;
  java.outputGiven = start->output || start->error;
  FakePipe* outputPipe = pipeOf(start->output, &java.outputPipe);
  FakePipe* errorPipe = pipeOf(start->error, &java.errorPipe);
  *thread = nullptr;
  *processId = 0;
  if (!started) return false;
  size_t index = state.processes.size() - 1;
  *thread = openHandle(threadHandles, state.openThreads, index);
  *processId = state.processes[index].id;
  fakeNoteEvent("start suspended " + std::to_string(index + 1));
  deliverJavaWrites(index, outputPipe, errorPipe);
  return true;
}

static bool fakeStandardErrorUsable(void) {
  if (FAKE_CALL_FAILS(standardErrorUsable)) return false;  // taken for none
  return state.standardErrorUsable;
}

static bool fakeCreateOutputPipe(PipeHandle* reader, PipeHandle* writer,
                                 unsigned long* errorCode) {
  *reader = *writer = nullptr;
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(createOutputPipe)) return false;
  *errorCode = 0;
  state.pipes.push_back({"", "", true, false, false, {}});
  size_t pipe = state.pipes.size() - 1;
  *reader = openHandle(pipeEnds, state.openPipeEnds, FakePipeEnd{pipe, true});
  *writer = openHandle(pipeEnds, state.openPipeEnds, FakePipeEnd{pipe, false});
  fakeNoteEvent("pipe " + std::to_string(pipe + 1));
  return true;
}

// Whether a writer still holds the pipe: the launcher's end, a child that
// has not been seen to end, or a program that child started.
static bool stillWritten(const FakePipe& pipe) {
  bool held = pipe.writerOpen || pipe.heldByOthers;
  for (size_t child : pipe.children) held = held || !state.processes[child].waitedForExit;
  return held;
}

static size_t fakeReadOutputPipe(PipeHandle reader, char* buffer, size_t size) {
  if (FAKE_CALL_FAILS(readOutputPipe)) return 0;
  FakePipeEnd* end = pipeEnds.find(reader);
  if (!end || !end->reader) return 0;
  FakePipe& pipe = state.pipes[end->pipe];
  if (pipe.held.empty() && !pipe.stopped && stillWritten(pipe)) ++state.readsThatWouldWait;
  size_t count = std::min({size, state.pipeChunk, pipe.held.size()});
  memcpy(buffer, pipe.held.data(), count);
  pipe.read += pipe.held.substr(0, count);
  pipe.held.erase(0, count);
  return count;
}

static void fakeStopOutputPipe(PipeHandle reader) {
  if (FakePipeEnd* end = pipeEnds.find(reader)) state.pipes[end->pipe].stopped = true;
}

static void fakeCloseOutputPipe(PipeHandle handle) {
  FakePipeEnd* end = pipeEnds.find(handle);
  if (!end) return;
  if (!end->reader) state.pipes[end->pipe].writerOpen = false;
  fakeNoteEvent(std::string("close pipe ") + std::to_string(end->pipe + 1) +
        (end->reader ? " reader" : " writer"));
  closeHandle(pipeEnds, state.openPipeEnds, handle);
}

struct FakeWorker {
  ThreadWork work;
  void* context;
};
static HandleTable<FakeWorker> workers;

static WorkerThread fakeStartThread(ThreadWork work, void* context, unsigned long* errorCode) {
  *errorCode = kNotEnoughMemory;
  if (FAKE_CALL_FAILS(startThread)) return nullptr;
  *errorCode = 0;
  return openHandle(workers, state.openWorkers, FakeWorker{work, context});
}

// The thread runs now, to its end.
static void fakeJoinThread(WorkerThread thread) {
  FakeWorker* worker = workers.find(thread);
  if (!worker) return;
  FakeWorker running = *worker;
  running.work(running.context);
  closeHandle(workers, state.openWorkers, thread);
}

static HandleTable<bool> locks;  // whether each is held

static LockHandle fakeCreateLock(void) {
  if (FAKE_CALL_FAILS(createLock)) return nullptr;
  return openHandle(locks, state.openLocks, false);
}

static void fakeTakeLock(LockHandle lock) {
  bool* held = locks.find(lock);
  if (!held || *held) ++state.lockMisuses;  // one thread: a held lock would never come free
  if (held) *held = true;
}

static void fakeReleaseLock(LockHandle lock) {
  bool* held = locks.find(lock);
  if (!held || !*held) ++state.lockMisuses;
  if (held) *held = false;
}

static void fakeCloseLock(LockHandle lock) {
  bool* held = locks.find(lock);
  if (held && *held) ++state.lockMisuses;
  closeHandle(locks, state.openLocks, lock);
}

// An appended file stands for its normalized path.
static HandleTable<std::string> appendFiles;
static const unsigned long kPathNotFound = 3;


static AppendFile fakeOpenAppendFile(const char* path, unsigned long long* size,
                                     unsigned long* errorCode) {
  *size = 0;
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(openAppendFile)) return nullptr;
  std::string normalized = fakeNormalizePath(path);
  if (!isFakeDirectory(fakeParentOf(normalized))) {
    *errorCode = kPathNotFound;
    return nullptr;
  }
  *errorCode = 0;
  state.directories[fakeParentOf(normalized)];  // the folder stays when its files go
  *size = state.files[normalized].size();
  return openHandle(appendFiles, state.openAppendFiles, normalized);
}

static bool fakeAppendToFile(AppendFile file, const char* bytes, size_t count,
                             unsigned long* errorCode) {
  *errorCode = kDiskFull;
  std::string* path = appendFiles.find(file);
  if (FAKE_CALL_FAILS(appendToFile) || !path) return false;
  *errorCode = 0;
  state.files[*path].append(bytes, count);
  return true;
}

static void fakeCloseAppendFile(AppendFile file) {
  closeHandle(appendFiles, state.openAppendFiles, file);
}

static bool fakeAssignToJob(JobHandle job, ProcessHandle process, unsigned long* errorCode) {
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(assignToJob)) return false;
  size_t* jobIndex = jobHandles.find(job);
  size_t* processIndex = processHandles.find(process);
  if (!jobIndex || !processIndex) return false;  // ERROR_INVALID_HANDLE would do as well
  *errorCode = 0;
  state.processes[*processIndex].job = (int)*jobIndex + 1;
  fakeNoteEvent("assign " + std::to_string(*processIndex + 1) + " to job " +
        std::to_string(*jobIndex + 1));
  return true;
}

// Cannot fail: Windows lets a thread run that was made suspended, through
// the handle with every right that came with it.
static void fakeResumeThread(ThreadHandle thread) {
  size_t* index = threadHandles.find(thread);
  if (!index) return;
  state.processes[*index].resumed = true;
  fakeNoteEvent("resume " + std::to_string(*index + 1));
  closeHandle(threadHandles, state.openThreads, thread);
}

static void fakeCloseJob(JobHandle job) {
  size_t* index = jobHandles.find(job);
  if (!index) return;
  state.jobs[*index].closed = true;
  fakeNoteEvent("close job " + std::to_string(*index + 1));
  closeHandle(jobHandles, state.openJobs, job);
}

static const size_t kMaxPath = 260;

// A held file stands for its path.
static HandleTable<std::string> heldFiles;

static bool isHeld(const std::string& path) {
  for (const auto& held : heldFiles.open)
    if (fakeNormalizePath(held.second) == fakeNormalizePath(path)) return true;
  return false;
}

// Why a file cannot be made at path, as a system error code; 0 when it can.
static unsigned long temporaryFileError(const std::string& file) {
  std::string normalized = fakeNormalizePath(file);
  if (state.temporaryDirectory.size() + 1 > kMaxPath || file.size() >= kMaxPath)
    return kErrorPathTooLong;
  if (state.files.count(normalized) || isFakeDirectory(normalized)) return kErrorFileExists;
  return 0;
}

static HeldFile fakeWriteTemporaryFile(const char* bytes, char** path, unsigned long* errorCode) {
  *path = nullptr;
  *errorCode = kDiskFull;
  if (FAKE_CALL_FAILS(writeTemporaryFile)) return nullptr;
  char name[32];
  snprintf(name, sizeof name, "\\jva%016llx.tmp", ++state.randomNames);
  std::string file = state.temporaryDirectory + name;
  *errorCode = temporaryFileError(file);
  if (*errorCode) return nullptr;
  fakeAddFile(file, bytes);
  state.writtenFiles[file] = bytes;
  fakeNoteEvent("write " + file);
  *path = fakeHeapText(file);
  return openHandle(heldFiles, state.openHeldFiles, file);
}

static void fakeCloseTemporaryFile(HeldFile held) {
  std::string* file = heldFiles.find(held);
  if (!file) return;
  fakeNoteEvent("close " + *file);
  closeHandle(heldFiles, state.openHeldFiles, held);
}

static bool fakeRemoveFile(const char* path) {
  fakeNoteEvent(std::string("remove ") + path);
  if (FAKE_CALL_FAILS(removeFile)) return false;  // the file stays
  std::string normalized = fakeNormalizePath(path);
  if (isHeld(path) || fakeFileHeld(normalized) || fakeIsRunningImage(normalized)) return false;
  return state.files.erase(normalized) == 1;
}

// An instance mark stands for the object name it holds.
static HandleTable<std::string> instanceMarks;

static InstanceClaim fakeClaimInstance(const char* objectName, InstanceHandle* mark,
                                       unsigned long* runningProcess) {
  *mark = nullptr;
  *runningProcess = 0;
  if (FAKE_CALL_FAILS(claimInstance)) return kInstanceFailed;
  auto held = state.instances.find(objectName);
  if (held != state.instances.end()) {
    *runningProcess = held->second.processId;
    return kInstanceFound;
  }
  state.instances[objectName] = {0};
  *mark = openHandle(instanceMarks, state.openInstanceMarks, std::string(objectName));
  fakeNoteEvent(std::string("claim ") + objectName);
  return kInstanceClaimed;
}

static void fakePublishInstanceProcess(InstanceHandle mark, unsigned long processId) {
  std::string* name = instanceMarks.find(mark);
  if (FAKE_CALL_FAILS(publishInstanceProcess) || !name) return;  // later starts find 0
  state.instances[*name].processId = processId;
  fakeNoteEvent("publish " + std::to_string(processId));
}

static void fakeReleaseInstance(InstanceHandle mark) {
  std::string* name = instanceMarks.find(mark);
  if (!name) return;
  state.instances.erase(*name);
  fakeNoteEvent("release " + *name);
  closeHandle(instanceMarks, state.openInstanceMarks, mark);
}

static void fakeBringWindowsForward(unsigned long processId) {
  if (FAKE_CALL_FAILS(bringWindowsForward)) return;  // the windows stay where they are
  state.windowsBroughtForward.push_back(processId);
}

void installFakePlatform() {
  state = FakeState();
  listings = {};
  files = {};
  registryKeys = {};
  processHandles = {};
  threadHandles = {};
  jobHandles = {};
  heldFiles = {};
  instanceMarks = {};
  pipeEnds = {};
  workers = {};
  locks = {};
  appendFiles = {};
  valuesHandedOut.clear();
  exitJump = nullptr;
  fakeNoteAllocationSites(false);
  installFakeServicePlatform();
  platform = PlatformOps{
      .messageBox = fakeMessageBox,
      .currentDirectory = fakeCurrentDirectory,
      .changeDirectory = fakeChangeDirectory,
      .absolutePath = fakeAbsolutePath,
      .environmentValue = fakeEnvironmentValue,
      .listFirst = fakeListFirst,
      .listNext = fakeListNext,
      .listClose = fakeListClose,
      .openFile = fakeOpenFile,
      .readFile = fakeReadFile,
      .closeFile = fakeCloseFile,
      .registryOpen = fakeRegistryOpen,
      .registryOpenSubkey = fakeRegistryOpenSubkey,
      .registryQueryValue = fakeRegistryQueryValue,
      .registrySubkeyCount = fakeRegistrySubkeyCount,
      .registryEnumSubkey = fakeRegistryEnumSubkey,
      .registryClose = fakeRegistryClose,
      .startProcess = fakeStartProcess,
      .waitForInputIdle = fakeWaitForInputIdle,
      .waitForExit = fakeWaitForExit,
      .processExitCode = fakeProcessExitCode,
      .writeOutput = fakeWriteOutput,
      .writeError = fakeWriteError,
      .exitProcess = fakeExitProcess,
      .ansiToUtf8 = fakeAnsiToUtf8,
      .ansiCanSpell = fakeAnsiCanSpell,
      .shortPath = fakeShortPath,
      .ansiBytes = fakeAnsiBytes,
      .programPath = fakeProgramPath,
      .systemDirectory = fakeSystemDirectory,
      .commandLine = fakeCommandLine,
      .setEnvironmentValue = fakeSetEnvironmentValue,
      .startupShowState = fakeStartupShowState,
      .hasConsole = fakeHasConsole,
      .outliveConsoleInterrupts = fakeOutliveConsoleInterrupts,
      .awaitAtConsoleEnd = fakeAwaitAtConsoleEnd,
      .interruptedByUser = fakeInterruptedByUser,
      .createJob = fakeCreateJob,
      .startSuspendedProcess = fakeStartSuspendedProcess,
      .assignToJob = fakeAssignToJob,
      .resumeThread = fakeResumeThread,
      .closeJob = fakeCloseJob,
      .closeProcess = fakeCloseProcess,
      .writeTemporaryFile = fakeWriteTemporaryFile,
      .closeTemporaryFile = fakeCloseTemporaryFile,
      .removeFile = fakeRemoveFile,
      .claimInstance = fakeClaimInstance,
      .publishInstanceProcess = fakePublishInstanceProcess,
      .releaseInstance = fakeReleaseInstance,
      .bringWindowsForward = fakeBringWindowsForward,
      .allocate = fakeAllocate,
      .reallocate = fakeReallocate,
      .release = fakeRelease,
      .pathsEqual = fakePathsEqual,
      .pathKind = fakePathKind,
      .moveFile = fakeMoveFile,
      .createDirectory = fakeCreateDirectory,
      .removeDirectory = fakeRemoveDirectory,
      .writeFileDurably = fakeWriteFileDurably,
      .sleepMilliseconds = fakeSleepMilliseconds,
      .clockMilliseconds = fakeClockMilliseconds,
      .standardErrorUsable = fakeStandardErrorUsable,
      .createOutputPipe = fakeCreateOutputPipe,
      .readOutputPipe = fakeReadOutputPipe,
      .stopOutputPipe = fakeStopOutputPipe,
      .closeOutputPipe = fakeCloseOutputPipe,
      .startThread = fakeStartThread,
      .joinThread = fakeJoinThread,
      .createLock = fakeCreateLock,
      .takeLock = fakeTakeLock,
      .releaseLock = fakeReleaseLock,
      .closeLock = fakeCloseLock,
      .openAppendFile = fakeOpenAppendFile,
      .appendToFile = fakeAppendToFile,
      .closeAppendFile = fakeCloseAppendFile,
  };
}
