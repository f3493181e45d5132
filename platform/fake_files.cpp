// The fake's folders and file moves, and its clock: enough of a file system
// to compare whole trees before and after a staged update.
#include "platform/fake_files.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "platform/fake_memory.h"
#include "platform/fake_platform.h"

static const unsigned long kPathNotFound = 3;
static const unsigned long kAccessDenied = 5;
static const unsigned long kSharingViolation = 32;
static const unsigned long kDiskFull = 112;

std::string fakeParentOf(const std::string& normalized) {
  size_t slash = normalized.rfind('\\');
  return slash == std::string::npos ? "" : normalized.substr(0, slash);
}

static bool isBelow(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '\\';
}

bool fakeFileHeld(const std::string& normalized) { return fake().filesInUse.count(normalized) != 0; }

bool fakeIsRunningImage(const std::string& normalized) {
  const std::string& image = fake().runningImage;
  return normalized == (image.empty() ? fakeNormalizePath(fake().programPath) : image);
}

PathKind fakePathKind(const char* path) {
  if (FAKE_CALL_FAILS(pathKind)) return kPathUnknown;
  std::string normalized = fakeNormalizePath(path);
  if (fake().files.count(normalized)) return kPathFile;
  return isFakeDirectory(normalized) ? kPathDirectory : kPathMissing;
}

static unsigned long whyNoMove(const std::string& from, const std::string& to) {
  FakeState& state = fake();
  if (!state.files.count(from)) return isFakeDirectory(from) ? kAccessDenied : kPathNotFound;
  if (!isFakeDirectory(fakeParentOf(to))) return kPathNotFound;
  if (isFakeDirectory(to)) return kAccessDenied;
  if (fakeFileHeld(from)) return kSharingViolation;
  bool replaces = state.files.count(to) != 0;
  if (replaces && (fakeFileHeld(to) || fakeIsRunningImage(to))) return kAccessDenied;
  return 0;
}

bool fakeMoveFile(const char* from, const char* to, unsigned long* errorCode) {
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(moveFile)) return false;
  std::string source = fakeNormalizePath(from), target = fakeNormalizePath(to);
  *errorCode = whyNoMove(source, target);
  if (*errorCode) return false;
  FakeState& state = fake();
  if (fakeIsRunningImage(source)) state.runningImage = target;
  std::string content = state.files[source];
  state.files.erase(source);
  state.files[target] = content;
  return true;
}

bool fakeCreateDirectory(const char* path, unsigned long* errorCode) {
  *errorCode = kAccessDenied;
  if (FAKE_CALL_FAILS(createDirectory)) return false;
  std::string normalized = fakeNormalizePath(path);
  *errorCode = isFakeDirectory(fakeParentOf(normalized)) ? 0 : kPathNotFound;
  if (*errorCode) return false;
  if (!fake().files.count(normalized)) fake().directories[normalized];
  return true;
}

// What the folder holds: its files, and its folders of either kind.
static bool holdsAnything(const std::string& folder) {
  for (const auto& file : fake().files)
    if (isBelow(file.first, folder)) return true;
  for (const auto& listed : fake().directories)
    if (isBelow(listed.first, folder) || (listed.first == folder && !listed.second.empty()))
      return true;
  return false;
}

bool fakeRemoveDirectory(const char* path) {
  if (FAKE_CALL_FAILS(removeDirectory)) return false;
  std::string normalized = fakeNormalizePath(path);
  if (!fake().directories.count(normalized) || holdsAnything(normalized)) return false;
  fake().directories.erase(normalized);
  return true;
}

std::vector<FakeDirectoryEntry> fakeFolderEntries(const std::string& folder) {
  std::vector<FakeDirectoryEntry> entries;
  if (folder.size() > 3) entries = {{".", true, ""}, {"..", true, ""}};  // not at a drive's root
  auto listed = fake().directories.find(folder);
  if (listed != fake().directories.end())
    entries.insert(entries.end(), listed->second.begin(), listed->second.end());
  size_t added = entries.size();
  std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
  // A test may give a file and a folder one name (a file where the other
  // version has a folder): both are listed.
  auto addChild = [&](const std::string& path, bool isDirectory) {
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return;
    std::string name = path.substr(prefix.size());
    if (name.find('\\') != std::string::npos) return;
    for (size_t i = 0; i < added; ++i)
      if (strcasecmp(entries[i].name.c_str(), name.c_str()) == 0) return;
    entries.push_back({name, isDirectory, ""});
  };
  for (const auto& file : fake().files) addChild(file.first, false);
  for (const auto& child : fake().directories) addChild(child.first, true);
  return entries;
}

bool fakeWriteFileDurably(const char* path, const char* text, unsigned long* errorCode) {
  *errorCode = kDiskFull;
  if (FAKE_CALL_FAILS(writeFileDurably)) return false;
  std::string normalized = fakeNormalizePath(path);
  *errorCode = !isFakeDirectory(fakeParentOf(normalized)) ? kPathNotFound
               : fakeFileHeld(normalized) || fakeIsRunningImage(normalized) ? kSharingViolation
                                                                          : 0;
  if (*errorCode) return false;
  fake().files[normalized] = text;
  return true;
}

void fakeSleepMilliseconds(unsigned long milliseconds) {
  if (FAKE_CALL_FAILS(sleepMilliseconds)) return;  // woken at once
  fake().sleeps.push_back(milliseconds);
  fake().clock += milliseconds;
}

// GetTickCount cannot fail.
unsigned long fakeClockMilliseconds(void) { return fake().clock; }
