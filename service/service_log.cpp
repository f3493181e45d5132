#include "service/service_log.h"

#include <string.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"
#include "platform/service_platform.h"

static JavaLog* logFile;
static bool midLine;  // false at first, as a variable that takes no room in the exe
// What was written before the log was open. Writing allocates nothing, so
// that running out of memory can be written too.
static char kept[4096];
static size_t keptLength;

char* serviceLogPath(const char* directory, const char* name) {
  if (!textIsEmpty(settings.javaLog)) return javaLogPath(settings.javaLog);
  return formatText("%s\\%s.log", directory, name);
}

static void put(const char* text, size_t length) {
  if (logFile) {
    appendToJavaLog(logFile, text, length);
  } else if (keptLength + length < sizeof kept) {
    memcpy(kept + keptLength, text, length);
    keptLength += length;
  }
}

// "2026-12-10 09:30:00 ": the century, then two digits after each mark.
static void putTime(void) {
  LocalTime now;
  servicePlatform.localTime(&now);
  const unsigned fields[] = {now.year / 100u, now.year,   now.month, now.day,
                             now.hour,        now.minute, now.second};
  char stamp[] = "0000-00-00 00:00:00 ";
  char* at = stamp;
  for (unsigned field : fields) {
    at[0] = (char)('0' + field / 10 % 10);
    at[1] = (char)('0' + field % 10);
    at += at == stamp ? 2 : 3;
  }
  put(stamp, sizeof stamp - 1);
}

// Each line break as CR LF, as Windows tools read a log.
void writeServiceLog(const char* text) {
  while (*text) {
    if (!midLine) putTime();
    const char* lineEnd = strchr(text, '\n');
    size_t length = lineEnd ? (size_t)(lineEnd - text) : strlen(text);
    put(text, length);
    if (lineEnd) put("\r\n", 2);
    midLine = !lineEnd;
    text += length + (lineEnd ? 1 : 0);
  }
}

void routeDiagnosticsToServiceLog(void) {
  logFile = nullptr;
  keptLength = 0;
  midLine = false;
  platform.writeError = writeServiceLog;
  platform.writeOutput = writeServiceLog;
}

bool openServiceLog(const char* path, unsigned long* error) {
  logFile = openJavaLog(path, javaLogLimits(settings.javaLogSize, settings.javaLogKeep), error);
  if (!logFile) return false;
  put(kept, keptLength);
  keptLength = 0;
  return true;
}

JavaLog* serviceJavaLog(void) { return logFile; }

void closeServiceLog(void) {
  closeJavaLog(logFile);
  logFile = nullptr;
  keptLength = 0;
  midLine = false;
}
