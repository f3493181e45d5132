#include "runtime/java_choice.h"

#include "common/launch_settings.h"
#include "runtime/java_location.h"
#include "runtime/java_search.h"

// Any of these lines turns the search on, even with an empty value.
static bool searchRequested(void) {
  return settings.minJava || settings.maxJava || settings.javaBits || settings.javaHome.count;
}

// Only absence is tested: an empty "javapath" line is taken as written.
bool chooseJava(void) {
  if (settings.javapath) return true;
  settings.javapath = searchRequested() ? searchJava() : findDefaultJava();
  return settings.javapath != nullptr;
}
