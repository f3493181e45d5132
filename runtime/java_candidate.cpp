#include "runtime/java_candidate.h"

#include <string.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"
#include "runtime/java_location.h"

// The first bytes of home\name, NUL-terminated; the count read, or -1 when
// the file cannot be opened.
static long readFileStart(const char* home, const char* name, char* buffer, size_t size) {
  char* path = formatText("%s\\%s", home, name);
  const char* errorText = nullptr;
  FileHandle file = platform.openFile(path, &errorText);
  releaseMemory(path);
  if (!file) return -1;
  size_t total = 0, got;
  while (total < size && (got = platform.readFile(file, buffer + total, size - total)) > 0) {
    if (got == kReadFailed) {
      total = 0;  // what was read may end anywhere: nothing counts
      break;
    }
    total += got;
  }
  platform.closeFile(file);
  buffer[total] = '\0';
  return (long)total;
}

static unsigned littleEndian(const char* bytes, int count) {
  unsigned value = 0;
  while (count--) value = value << 8 | (unsigned char)bytes[count];
  return value;
}

// The kind from the PE header's machine field: an "MZ" stub whose offset at
// 0x3C points to "PE\0\0" and the machine number. x86 and ARM are 32-bit,
// x64 and ARM64 64-bit; anything else is unknown (0).
static int executableBits(const char* bytes, long size) {
  if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return 0;
  unsigned header = littleEndian(bytes + 0x3C, 4);
  if (header > (unsigned long)size - 6 || littleEndian(bytes + header, 4) != 0x4550) return 0;  // "PE\0\0"
  unsigned machine = littleEndian(bytes + header + 4, 2);
  if (machine == 0x14c || machine == 0x1c4) return 32;
  return machine == 0x8664 || machine == 0xaa64 ? 64 : 0;
}

// The value of the release file's JAVA_VERSION="..." line, or NULL.
static char* releaseVersion(const char* content) {
  for (const char* line = content; line; line = strchr(line, '\n')) {
    if (*line == '\n') ++line;
    if (!textStartsWith(line, "JAVA_VERSION=")) continue;
    const char* value = line + 13 + (line[13] == '"');
    return copyTextPart(value, strcspn(value, "\"\r\n"));
  }
  return nullptr;
}

static const unsigned kReleaseFileRead = 1 << 16;  // far more than any release file holds
static const unsigned kHeaderRead = 1024;           // the PE header's offset lies well inside

static JavaVerdict judge(const JavaCandidate* candidate) {
  if (!textIsEmpty(settings.minJava) || !textIsEmpty(settings.maxJava)) {
    if (!candidate->version.count) return kVerdictVersionUnknown;
    int place = javaVersionAgainstRange(&candidate->version, settings.minJava, settings.maxJava);
    if (place) return place < 0 ? kVerdictTooOld : kVerdictTooNew;
  }
  if (textIsEmpty(settings.javaBits)) return kVerdictFits;
  bool sameKind = candidate->bits && strcmp(settings.javaBits, candidate->bits == 64 ? "64" : "32") == 0;
  return sameKind ? kVerdictFits : kVerdictWrongKind;
}

char* releaseFileVersion(const char* home) {
  char* buffer = static_cast<char*>(allocateOrDie(kReleaseFileRead + 1));
  char* version = readFileStart(home, "release", buffer, kReleaseFileRead) >= 0
                      ? releaseVersion(buffer)
                      : nullptr;
  releaseMemory(buffer);
  return version;
}

void examineCandidate(JavaCandidate* candidate) {
  char header[kHeaderRead + 1];
  char* executable = formatText("bin\\%s", javaExecutableName());
  long size = readFileStart(candidate->home, executable, header, kHeaderRead);
  releaseMemory(executable);
  candidate->bits = executableBits(header, size);
  char* fromRelease = releaseFileVersion(candidate->home);
  if (fromRelease) {
    releaseMemory(candidate->versionText);
    candidate->versionText = fromRelease;
  }
  candidate->version = parseJavaVersion(candidate->versionText ? candidate->versionText : "");
  candidate->verdict = size < 0 ? kVerdictNoExecutable : judge(candidate);
}

void describeCandidate(TextBuffer* text, const JavaCandidate* candidate) {
  // Indexed by JavaVerdict; "no " is followed by the executable's name.
  static const char kVerdicts[] =
      "fits\0chosen\0no \0cannot check the version\0too old\0too new\0wrong kind";
  const char* verdict = kVerdicts;
  for (int i = 0; i < candidate->verdict; ++i) verdict += strlen(verdict) + 1;
  const char* version = textIsEmpty(candidate->versionText) ? nullptr : candidate->versionText;
  char* line = formatText("%s: %s%s, %s%s, %s%s", candidate->home, version ? "Java " : "",
                          version ? version : "version unknown",
                          candidate->bits == 64 ? "64" : candidate->bits ? "32" : "kind unknown",
                          candidate->bits ? "-bit" : "", verdict,
                          candidate->verdict == kVerdictNoExecutable ? javaExecutableName() : "");
  textAppend(text, line);
  releaseMemory(line);
}
