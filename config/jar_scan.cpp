#include "config/jar_scan.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

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
    if (entry.isDirectory) continue;
    entry.name[sizeof entry.name - 1] = '\0';
    char* jar = formatText("%s/%s", directory, entry.name);
    appendSetting(&settings.vmjars, jar);
    debugTraceLine("adding jar %s\n", jar);
    releaseMemory(jar);
  } while (platform.listNext(listing, &entry));
  platform.listClose(listing);
}
