// Java's argument file: the JVM options and the class path of a command line
// too long for Windows, which Java 9 and later read from "java @file".
#ifndef CORVANE_LAUNCH_ARGUMENT_FILE_H
#define CORVANE_LAUNCH_ARGUMENT_FILE_H

// Writes the options (as appendJavaOptions gives them, after
// giveJavaSpellablePaths) into a new file in the user's temporary folder,
// under a name drawn at random, in the ANSI code page. Returns the file's
// path as Java can open it (its short form where the code page cannot spell
// it; heap text, the caller's). NULL when no file was left: *errorCode is the
// system's error when it could not be written (never 0), 0 when its path
// cannot be given to Java (the box has said so).
// The file is this module's until removeArgumentFile: it holds the file
// open, so that Java can read it and no other program can change it.
char* writeArgumentFile(unsigned long* errorCode);

// Once Java has ended: lets the file go and removes it; nothing when none is
// left.
void removeArgumentFile(void);

#endif
