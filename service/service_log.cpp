#include "service/service_log.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"
#include "platform/service_platform.h"
#include "service/service_events.h"

static LogHandle logFile;
static bool atLineStart = true;
// What was written before the log was open. Writing allocates nothing, so
// that running out of memory can be written too.
static char kept[4096];
static size_t keptLength;

char* serviceLogPath(const char* directory, const char* name) {
  return formatText("%s\\%s.log", directory, name);
}

static void put(const char* text, size_t length) {
  if (logFile) {
    servicePlatform.writeLog(logFile, text, length);
  } else if (keptLength + length < sizeof kept) {
    memcpy(kept + keptLength, text, length);
    keptLength += length;
  }
}

static void putTwoDigits(char* at, unsigned number) {
  at[0] = (char)('0' + number / 10 % 10);
  at[1] = (char)('0' + number % 10);
}

// "2026-12-10 09:30:00 "
static void putTime(void) {
  LocalTime now;
  servicePlatform.localTime(&now);
  char stamp[] = "0000-00-00 00:00:00 ";
  putTwoDigits(stamp, now.year / 100);
  putTwoDigits(stamp + 2, now.year);
  putTwoDigits(stamp + 5, now.month);
  putTwoDigits(stamp + 8, now.day);
  putTwoDigits(stamp + 11, now.hour);
  putTwoDigits(stamp + 14, now.minute);
  putTwoDigits(stamp + 17, now.second);
  put(stamp, sizeof stamp - 1);
}

void writeServiceLog(const char* text) {
  while (*text) {
    if (atLineStart) putTime();
    const char* lineEnd = strchr(text, '\n');
    size_t length = lineEnd ? (size_t)(lineEnd - text) + 1 : strlen(text);
    put(text, length);
    atLineStart = lineEnd != nullptr;
    text += length;
  }
}

void routeDiagnosticsToServiceLog(void) {
  logFile = nullptr;
  keptLength = 0;
  atLineStart = true;
  platform.writeError = writeServiceLog;
  platform.writeOutput = writeServiceLog;
}

bool openServiceLog(const char* path, unsigned long* error) {
  logFile = servicePlatform.openLog(path, error);
  if (!logFile) return false;
  put(kept, keptLength);
  keptLength = 0;
  return true;
}

void giveJavaTheLog(void) {
  unsigned long error = 0;
  if (logFile && !servicePlatform.useAsStandardOutput(logFile, &error))
    tellFailure("Java's output cannot go to the log", error);
}

void closeServiceLog(void) {
  if (logFile) servicePlatform.closeLog(logFile);
  logFile = nullptr;
  keptLength = 0;
  atLineStart = true;
}
