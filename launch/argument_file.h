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

// Writes the options (the JVM options and the class path, as the command
// line would give them, after giveJavaSpellablePaths) into a new file in the
// user's temporary folder, under a name drawn at random, in the bytes Java
// reads them in (the ANSI code page), into *file, which holds it open until
// removeArgumentFile: Java can read it, no other program can change it. The
// JVM options up to the last "@file" among them stay out of it: Java expands
// an "@file" only on its command line, so *lineOptions gets them (heap text,
// the caller's, each followed by a blank; "" for none). Returns the file's
// path as Java can open it (its short form where the code page cannot spell
// it; heap text, the caller's). NULL, and *lineOptions NULL, when no file was
// left: *errorCode is the system's error when it could not be written (never
// 0), 0 when its path cannot be given to Java (the box has said so).
char* writeArgumentFile(ArgumentFile* file, char** lineOptions, unsigned long* errorCode);

// Once Java has ended: lets the file go and removes it; nothing when none is
// left.
void removeArgumentFile(ArgumentFile* file);

#endif
