// Java's argument file: the JVM options and the class path of a command line
// too long for Windows, which Java 9 and later read from "java @file".
#ifndef CORVANE_LAUNCH_ARGUMENT_FILE_H
#define CORVANE_LAUNCH_ARGUMENT_FILE_H

#include "platform/platform.h"

// The argument file from its creation to its removal, held open meanwhile;
// its owner is the launch plan.
struct ArgumentFile {
  HeldFile held;  // NULL for none
  // As created, which is how it is removed: not every file system opens a
  // file by its short form.
  char* path;
};

// Writes the options (as appendJavaOptions gives them, after
// giveJavaSpellablePaths) into a new file in the user's temporary folder,
// under a name drawn at random, in the bytes Java reads them in (the ANSI
// code page), into *file, which holds it open until removeArgumentFile: Java
// can read it, no other program can change it. Returns the file's path as Java can open it (its short form
// where the code page cannot spell it; heap text, the caller's). NULL when no
// file was left: *errorCode is the system's error when it could not be
// written (never 0), 0 when its path cannot be given to Java (the box has
// said so).
char* writeArgumentFile(ArgumentFile* file, unsigned long* errorCode);

// Once Java has ended: lets the file go and removes it; nothing when none is
// left.
void removeArgumentFile(ArgumentFile* file);

#endif
