#include "config/jar_scan.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// FindFirstFileW matches "*.jar" against short (8.3) names too, where the
// volume keeps them: "plugin.jar_disabled" (PLUGIN~1.JAR) and "app.jarold"
// come back as well. Only a long name that ends in ".jar" names a jar.
static bool endsInJar(const char* name) {
  size_t length = strlen(name);
  return length >= 4 && textStartsWithFolded(name + length - 4, ".jar");
}

void addJarDirectory(const char* directory) {
  char* pattern = formatText("%s/*.jar", directory);
  ListedEntry entry;
  DirectoryListing listing = platform.listFirst(pattern, &entry);
  releaseMemory(pattern);
  if (!listing) {
    debugTraceLine("No jar files found in [%s]\n", directory);
    return;
  }
  do {
    entry.name[sizeof entry.name - 1] = '\0';
    if (entry.isDirectory || !endsInJar(entry.name)) continue;
    char* jar = formatText("%s/%s", directory, entry.name);
    appendSetting(&settings.vmjars, jar);
    debugTraceLine("adding jar %s\n", jar);
    releaseMemory(jar);
  } while (platform.listNext(listing, &entry));
  platform.listClose(listing);
}
