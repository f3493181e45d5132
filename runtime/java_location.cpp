#include "runtime/java_location.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"
#include "runtime/download_prompt.h"
#include "runtime/runtime_registry.h"
#include "runtime/version_resolution.h"

const char* javaExecutableName(void) { return settings.consoleJava ? "java.exe" : "javaw.exe"; }

char* javaExecutableInHome(const char* home) {
  return formatText("%s\\bin\\%s", home, javaExecutableName());
}

void useLocatedJava(const char* path) { setJavapath(path, strchr(path, ' ') != nullptr); }

// The "JavaHome" value of an open version key, which is then closed; NULL
// (after the debug diagnostic) when it cannot be read.
static char* takeJavaHome(RegistryKey key) {
  char* home = readRegistryText(key, "JavaHome");
  platform.registryClose(key);
  if (!home) debugErrorMessage("Error Reading Registry!", "Java Home Directory");
  return home;
}

// The Java executable in home, which is released; NULL for no home.
static char* executableFromHome(char* home) {
  if (!home) return nullptr;
  char* executable = javaExecutableInHome(home);
  releaseMemory(home);
  return executable;
}

static bool needsResolution(const char* version) {
  return !strchr(version, '_') || strchr(version, '+');
}

JavaLookup findJavaForVersion(char** path) {
  *path = nullptr;
  if (textIsEmpty(settings.javaVersion)) return kJavaNotFound;
  if (needsResolution(settings.javaVersion) && !resolveJavaVersion()) return kJavaMissing;

  char* keyPath = versionKeyPath(settings.javaVersion);
  debugMessage("JavaInstallRegPath", "%s", keyPath);
  RegistryKey key = nullptr;
  if (openRuntimeKey(keyPath, &key) != kRegistrySuccess) {
    debugErrorMessage("Error Accessing Registry!", "Java Current Version");
    promptDownload("Java Runtime Environment Not Found");
    releaseMemory(keyPath);
    return kJavaNotFound;
  }
  char* home = takeJavaHome(key);
  if (!home) showMessage("Error!", kBoxIconError, "No Java Home Directory Found for %s ", keyPath);
  releaseMemory(keyPath);
  *path = executableFromHome(home);
  return *path ? kJavaFound : kJavaNotFound;
}

// "No Java Installation<what> Found": the messages share their words.
static char* noDefaultJava(const char* what) {
  showMessage("Error!", kBoxIconError, "No Java Installation%s Found", what);
  return nullptr;
}

char* findDefaultJava(void) {
  RegistryKey root = nullptr;
  if (openRuntimeKey(RUNTIME_ROOT_KEY, &root) != kRegistrySuccess) {
    debugErrorMessage("Error Accessing Registry!", "%s", RUNTIME_ROOT_KEY);
    return noDefaultJava("");
  }
  char* currentVersion = readRegistryText(root, "CurrentVersion");
  platform.registryClose(root);
  if (!currentVersion) {
    debugErrorMessage("Error Reading Registry", "Java Current Version Key");
    return noDefaultJava("");
  }
  char* keyPath = versionKeyPath(currentVersion);
  releaseMemory(currentVersion);
  RegistryKey key = nullptr;
  long opened = openRuntimeKey(keyPath, &key);
  releaseMemory(keyPath);
  if (opened != kRegistrySuccess) {
    debugErrorMessage("Error Accessing Registry!", "Java Current Version");
    return noDefaultJava(" (No Current Version)");
  }
  char* home = takeJavaHome(key);
  if (!home) return noDefaultJava(" Home Directory");
  return executableFromHome(home);
}
