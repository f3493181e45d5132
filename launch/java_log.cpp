#include "launch/java_log.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/program_directory.h"
#include "common/text.h"

static const unsigned long kMegabyte = 1024 * 1024;
static const unsigned long kPathNotFound = 3;    // ERROR_PATH_NOT_FOUND
static const unsigned long kAccessDenied = 5;    // what a file that cannot be removed gives
static const unsigned long kNotEnoughMemory = 8;

// A whole number from min to max as written, or fallback (which a debug
// trace line names) for anything else.
static unsigned long limitOrDefault(const char* key, const char* text, unsigned long min,
                                    unsigned long max, unsigned long fallback) {
  if (!text) return fallback;
  unsigned long value = 0;
  if (*text != '-' && parseWholeNumber(text, &value) && value >= min && value <= max) return value;
  debugTraceLine("%s %s is not a whole number from %lu to %lu: %lu is used\n", key, text, min, max,
                 fallback);
  return fallback;
}

JavaLogLimits javaLogLimits(const char* size, const char* keep) {
  unsigned long megabytes = limitOrDefault("javaLogSize", size, 1, 1000000, 10);
  return {(unsigned long long)megabytes * kMegabyte,
          (int)limitOrDefault("javaLogKeep", keep, 0, 999, 5)};
}

static bool isSeparator(char c) { return c == '\\' || c == '/'; }

char* javaLogPath(const char* configured) {
  char* path = pathInProgramDirectory(configured);
  return path ? path : copyText(configured);
}

// Makes each folder the path names, from its root down. What is not a folder
// to make (a drive, a server, a share) or is there already makes nothing.
static void makeFolders(const char* path) {
  char* folder = copyText(path);
  for (size_t i = 1; folder[i]; ++i) {
    if (!isSeparator(folder[i]) || isSeparator(folder[i - 1]) || folder[i - 1] == ':') continue;
    char separator = folder[i];
    folder[i] = '\0';
    unsigned long ignored = 0;  // a folder that cannot be made shows when the log is opened
    platform.createDirectory(folder, &ignored);
    folder[i] = separator;
  }
  releaseMemory(folder);
}

// path itself for 0, else path + "." + n (n below 1000), written into room.
static void numberedName(char* room, const char* path, int n) {
  size_t length = strlen(path);
  memcpy(room, path, length + 1);
  if (n == 0) return;
  char* end = room + length;
  *end++ = '.';
  for (int unit = n >= 100 ? 100 : n >= 10 ? 10 : 1; unit > 0; unit /= 10)
    *end++ = (char)('0' + n / unit % 10);
  *end = '\0';
}

JavaLog* openJavaLog(const char* path, JavaLogLimits limits, unsigned long* errorCode) {
  unsigned long long size = 0;
  AppendFile file = platform.openAppendFile(path, &size, errorCode);
  if (!file && *errorCode == kPathNotFound) {
    makeFolders(path);
    file = platform.openAppendFile(path, &size, errorCode);
  }
  if (!file) return nullptr;
  LockHandle lock = platform.createLock();
  if (!lock) {
    platform.closeAppendFile(file);
    *errorCode = kNotEnoughMemory;
    return nullptr;
  }
  // One block: the log, its path, and room for two rotated names.
  size_t room = strlen(path) + sizeof ".999";
  JavaLog* log = static_cast<JavaLog*>(allocateOrDie(sizeof(JavaLog) + 3 * room));
  char* names = reinterpret_cast<char*>(log + 1);
  *log = JavaLog{names, names + room, names + 2 * room, limits, limits.maxBytes, file, size, 0,
                 lock};
  numberedName(log->path, path, 0);
  return log;
}

static void noteError(JavaLog* log, unsigned long error) {
  if (!log->firstError) log->firstError = error;
}

static void reopen(JavaLog* log) {
  unsigned long error = 0;
  log->file = platform.openAppendFile(log->path, &log->size, &error);
  if (!log->file) noteError(log, error);
}

// <file>.<keep-1> becomes <file>.<keep>, replacing the oldest, and so on
// down to <file>, which becomes <file>.1; with none kept, <file> goes. A
// file that cannot be moved (another program holds it without sharing)
// goes on growing, and the rotation is tried again one limit further on.
static void rotate(JavaLog* log) {
  platform.closeAppendFile(log->file);
  unsigned long error = kAccessDenied;
  bool moved = log->limits.keep > 0 || platform.removeFile(log->path);
  for (int n = log->limits.keep; n >= 1; --n) {
    numberedName(log->from, log->path, n - 1);
    numberedName(log->to, log->path, n);
    moved = platform.moveFile(log->from, log->to, &error);  // a missing older one is no fault
  }
  if (!moved) noteError(log, error);
  reopen(log);
  log->rotateAt = (moved ? 0 : log->size) + log->limits.maxBytes;
}

void appendToJavaLog(JavaLog* log, const char* bytes, size_t count) {
  if (count == 0) return;
  platform.takeLock(log->lock);
  if (log->file && log->size > 0 && log->size + count > log->rotateAt) rotate(log);
  if (!log->file) reopen(log);
  unsigned long error = 0;
  if (log->file && platform.appendToFile(log->file, bytes, count, &error))
    log->size += count;
  else if (log->file)
    noteError(log, error);
  platform.releaseLock(log->lock);
}

void closeJavaLog(JavaLog* log) {
  if (!log) return;
  if (log->file) platform.closeAppendFile(log->file);
  platform.closeLock(log->lock);
  releaseMemory(log);
}
