// Whether the Java about to start reads options from an argument file
// ("java @file ..."), as Java 9 and later do.
#ifndef CORVANE_RUNTIME_ARGUMENT_FILE_SUPPORT_H
#define CORVANE_RUNTIME_ARGUMENT_FILE_SUPPORT_H

// True when settings.javapath is known to be Java 9 or later: by the version
// the Java search read for it, else by the JAVA_VERSION of the release file
// in its home (the directory above the "bin" that holds the executable),
// wherever the command came from. An unknown version is not known to be 9.
bool javaTakesArgumentFile(void);

#endif
