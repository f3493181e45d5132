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

// home\bin\java.exe in debug mode and in the console launcher, home\bin\javaw.exe
// otherwise, wrapped in double quotes when it holds a blank.
char* javaCommandFromHome(const char* home);

#endif
