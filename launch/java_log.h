// A log file that rotates: bytes are appended to it, and when a write would
// take it past its limit it becomes <file>.1 (the older ones move to .2 ...
// up to the number kept; the oldest goes), and writing goes on in a new
// file. Appends are safe from several threads: Java's output comes from the
// launcher's reader threads, and a launcher may add lines of its own.
#ifndef CORVANE_LAUNCH_JAVA_LOG_H
#define CORVANE_LAUNCH_JAVA_LOG_H

#include <stddef.h>

#include "platform/platform.h"

struct JavaLogLimits {
  unsigned long long maxBytes;  // a file holds at most this, unless one write alone is larger
  int keep;                     // rotated files kept: <file>.1 to <file>.<keep>
};

// "javaLogSize" (whole megabytes, 1 to 1000000, default 10) and
// "javaLogKeep" (0 to 999, default 5), as written; NULL for absent. A value
// out of range is replaced by its default, and a debug trace line says so.
JavaLogLimits javaLogLimits(const char* size, const char* keep);

// The log's path (heap text): a relative one is taken from the executable's
// directory (as it is where that cannot be read).
char* javaLogPath(const char* configured);

struct JavaLog {
  char* path;
  char* from;  // room for the rotated names, made with the log: appending allocates nothing
  char* to;
  JavaLogLimits limits;
  unsigned long long rotateAt;  // the size past which the next write rotates
  AppendFile file;              // NULL while it cannot be opened
  unsigned long long size;
  unsigned long firstError;     // of a write, a rotation or a reopening; 0 for none
  LockHandle lock;
};

// Opens (makes, with any missing folders) the log at path for appending.
// NULL with the system's error code when it cannot be opened.
JavaLog* openJavaLog(const char* path, JavaLogLimits limits, unsigned long* errorCode);

// Appends the bytes as they are, rotating first when they would take the
// file past its limit. A write that fails is lost; the next is tried anew.
void appendToJavaLog(JavaLog* log, const char* bytes, size_t count);

// Closes the log once no thread appends to it any more; NULL is ignored.
void closeJavaLog(JavaLog* log);

#endif
