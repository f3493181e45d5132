// Which Java runs: the one decision the main sequence asks for between
// reading the configuration and starting Java.
#ifndef CORVANE_RUNTIME_JAVA_CHOICE_H
#define CORVANE_RUNTIME_JAVA_CHOICE_H

#include "runtime/java_location.h"

// Keeps the Java executable the configuration settled (a "javapath" line, or
// a "javaVersion" line that found its runtime, even an empty one); without
// one, runs the Java search when a line asked for it, else takes the runtime
// the registry names as current. kJavaFound when settings.javapath names the
// Java to start; kJavaNotFound when the registry names none, kJavaMissing
// when nothing fits the search (the user has been told either way).
JavaLookup chooseJava(void);

#endif
