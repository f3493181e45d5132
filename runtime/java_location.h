// Turns the registry's runtime entries into the Java command that stands
// first on the command line.
#ifndef CORVANE_RUNTIME_JAVA_LOCATION_H
#define CORVANE_RUNTIME_JAVA_LOCATION_H

// The command for the runtime that settings.javaVersion asks for (heap text),
// or NULL after the user has been told why there is none.
char* findJavaForVersion(void);

// The command for the runtime the registry names as current, or NULL after
// the user has been told why there is none.
char* findDefaultJava(void);

// The executable that runs Java in a Java home's bin directory: java.exe in
// debug mode, whose console shows Java's own output, and in the console
// launcher; javaw.exe otherwise.
const char* javaExecutableName(void);

// home\bin\ followed by javaExecutableName(), wrapped in double quotes
// when it holds a blank.
char* javaCommandFromHome(const char* home);

#endif
