#include "config/instance_name.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// "Local\" is the namespace of the terminal-services session, which every
// program in it shares, whichever user runs it; another session has its own.
static const char kObjectPrefix[] = "Local\\Corvane.singleInstance.";

void setSingleInstanceName(const char* name) {
  if (!*name || strchr(name, '\\') || textUtf16Length(name) > kMaxInstanceNameLength) {
    showError("singleInstance %s\nThis name may not be empty, hold a backslash or have more "
              "than %d characters. The line is ignored.",
              name, (int)kMaxInstanceNameLength);
    return;
  }
  char* objectName = formatText("%s%s", kObjectPrefix, name);
  setSetting(&settings.singleInstance, objectName);
  releaseMemory(objectName);
}
