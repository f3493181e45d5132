#include "runtime/version_resolution.h"

#include <limits.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"
#include "runtime/download_prompt.h"
#include "runtime/runtime_registry.h"

static bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

static int atoiSaturating(const char* text) {
  while (isSpace(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '+' || *text == '-') ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > (long long)INT_MAX + 1) value = (long long)INT_MAX + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return (int)value;
}

int patchLevel(const char* version) {
  const char* underscore = strchr(version, '_');
  return underscore ? atoiSaturating(underscore + 1) : 0;
}

struct BestMatch {
  int level;
  char name[kMaxVersionNameLength + 1];
};

static void considerSubkey(const char* name, const char* prefix, BestMatch* best) {
  if (!textStartsWith(name, prefix)) return;
  traceLine("found correct java version %s. checking patch level\n", name);
  if (!strchr(name, '_')) {
    traceLine("No patch level found in %s\n", name);
    return;
  }
  int level = patchLevel(name);
  traceLine("checking patch level %d against %d\n", level, best->level);
  if (level >= best->level) {  // ties go to the one enumerated last
    best->level = level;
    memcpy(best->name, name, strlen(name) + 1);
    traceLine("found latest java version %s\n", best->name);
  }
}

bool resolveJavaVersion(void) {
  if (textIsEmpty(settings.javaVersion)) return true;
  RegistryKey root = nullptr;
  if (openRuntimeKey(RUNTIME_ROOT_KEY, &root) != kRegistrySuccess) {
    debugErrorMessage("Error Accessing Registry!", "Java Current Version");
    promptDownload("Java Runtime Environment Not Found");
    return false;
  }
  unsigned long count = 0;
  if (platform.registrySubkeyCount(root, &count) != kRegistrySuccess) count = 0;

  // The whole text before the first '_' is the prefix, however long.
  const char* underscore = strchr(settings.javaVersion, '_');
  char* prefix = underscore ? copyTextPart(settings.javaVersion, underscore - settings.javaVersion)
                            : copyText(settings.javaVersion);
  BestMatch best = {patchLevel(settings.javaVersion), ""};
  traceLine("javaVersion=%s, javaVer=%s\n", settings.javaVersion, prefix);

  for (unsigned long i = 0; i < count; ++i) {
    char name[kMaxVersionNameLength + 1];
    if (!readSubkeyName(root, i, name)) continue;
    traceLine("checking (%d) %s\n", (int)(i + 1), name);
    considerSubkey(name, prefix, &best);
  }
  platform.registryClose(root);
  releaseMemory(prefix);

  if (best.level <= 0) return true;
  if (best.name[0] == '\0') {
    promptDownload("Incompatible JRE Version Found");
    return false;
  }
  setSetting(&settings.javaVersion, best.name);
  return true;
}
