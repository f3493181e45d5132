// Which Java runs: the one decision the main sequence asks for between
// reading the configuration and starting Java.
#ifndef CORVANE_RUNTIME_JAVA_CHOICE_H
#define CORVANE_RUNTIME_JAVA_CHOICE_H

// Keeps the Java command the configuration settled (a "javapath" line, or a
// "javaVersion" line that found its runtime, even an empty one); without one,
// takes the runtime the registry names as current. Returns true when
// settings.javapath names the Java to start, false after the user was told
// why there is none.
bool chooseJava(void);

#endif
