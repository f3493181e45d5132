#include "runtime/java_choice.h"

#include "common/launch_settings.h"
#include "common/text.h"
#include "runtime/java_search.h"

// Any of these lines turns the search on, even with an empty value.
static bool searchRequested(void) {
  return settings.minJava || settings.maxJava || settings.javaBits || settings.javaHome.count;
}

// Only absence is tested: an empty "javapath" line is taken as written.
JavaLookup chooseJava(void) {
  if (settings.javapath) return kJavaFound;
  bool searched = searchRequested();
  char* executable = searched ? searchJava() : findDefaultJava();
  if (!executable) return searched ? kJavaMissing : kJavaNotFound;
  useLocatedJava(executable);
  releaseMemory(executable);
  return kJavaFound;
}
