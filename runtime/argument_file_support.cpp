#include "runtime/argument_file_support.h"

#include <string.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "runtime/java_candidate.h"
#include "runtime/java_version.h"

// The directory above the "bin" that holds the command's executable, with
// the command's quotes gone and slashes as backslashes; NULL when the
// executable does not stand in a "bin" directory.
static char* homeOfCommand(const char* command) {
  char* path = copyText(command);
  char* end = path;
  for (const char* c = path; *c; ++c)
    if (*c != '"') *end++ = *c == '/' ? '\\' : *c;
  *end = '\0';
  char* home = nullptr;
  char* executable = strrchr(path, '\\');
  if (executable) {
    *executable = '\0';
    char* bin = strrchr(path, '\\');
    const char* folder = bin ? bin + 1 : path;
    if (textStartsWithFolded(folder, "bin") && folder[3] == '\0')
      home = bin ? copyTextPart(path, bin - path) : copyText(".");
  }
  releaseMemory(path);
  return home;
}

static bool atLeastJava9(const char* versionText) {
  JavaVersion version = parseJavaVersion(versionText);
  JavaVersion nine = parseJavaVersion("9");
  return version.count && compareJavaVersions(&version, &nine, 3) >= 0;
}

bool javaTakesArgumentFile(void) {
  if (settings.javaRuntimeVersion) return atLeastJava9(settings.javaRuntimeVersion);
  char* home = settings.javapath ? homeOfCommand(settings.javapath) : nullptr;
  char* version = home ? releaseFileVersion(home) : nullptr;
  bool takes = version && atLeastJava9(version);
  releaseMemory(version);
  releaseMemory(home);
  return takes;
}
