// Turns the registry's runtime entries into the path of the Java executable.
#ifndef CORVANE_RUNTIME_JAVA_LOCATION_H
#define CORVANE_RUNTIME_JAVA_LOCATION_H

// What a lookup of the Java executable came to.
enum JavaLookup {
  kJavaFound,     // the executable's path is the caller's
  kJavaNotFound,  // none: the user has been told why
  kJavaMissing,   // the version asked for is not installed: its download has been offered
};

// The executable of the runtime that settings.javaVersion asks for, after
// resolving a family or minimum patch level to an installed release.
JavaLookup findJavaForVersion(char** path);

// The executable of the runtime the registry names as current (heap text),
// or NULL after the user has been told why there is none.
char* findDefaultJava(void);

// The executable that runs Java in a Java home's bin directory: java.exe
// when settings.consoleJava asks for it, javaw.exe otherwise.
const char* javaExecutableName(void);

// home\bin\ followed by javaExecutableName() (heap text).
char* javaExecutableInHome(const char* home);

// Makes a located executable the one Java runs (settings.javapath): quoted
// on the command line when its path holds a blank.
void useLocatedJava(const char* path);

#endif
