#include "runtime/java_choice.h"

#include "common/launch_settings.h"
#include "runtime/java_location.h"

// Only absence is tested: an empty "javapath" line is taken as written.
bool chooseJava(void) {
  if (settings.javapath) return true;
  settings.javapath = findDefaultJava();
  return settings.javapath != nullptr;
}
