#include "config/instance_name.h"

#include <stdlib.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// "Local\" is the namespace of the logon session: another user's session
// has its own.
static const char kObjectPrefix[] = "Local\\Corvane.singleInstance.";

void setSingleInstanceName(const char* name) {
  if (!*name || strchr(name, '\\') || textUtf16Length(name) > kMaxInstanceNameLength) {
    showMessage("Error", kBoxIconError,
                "singleInstance %s\nThis name cannot mark the running application: it must not "
                "be empty or hold a backslash, and it may have at most %d characters.\nThe line "
                "is ignored, so every start runs its own Java.",
                name, (int)kMaxInstanceNameLength);
    return;
  }
  char* objectName = formatText("%s%s", kObjectPrefix, name);
  setSetting(&settings.singleInstance, objectName);
  free(objectName);
}
