// Java's argument file: the JVM options and the class path of a command line
// too long for Windows, which Java 9 and later read from "java @file".
#ifndef CORVANE_LAUNCH_ARGUMENT_FILE_H
#define CORVANE_LAUNCH_ARGUMENT_FILE_H

// Writes the options (as appendJavaOptions gives them, after
// giveJavaSpellablePaths) into a new file in the user's temporary folder, in
// the ANSI code page. Returns the file's path as Java can open it (its short
// form where the code page cannot spell it; heap text, the caller's), and
// the path it was written as in *written (heap text, the caller's: not every
// file system opens a file by its short form), for removeArgumentFile. NULL
// when no file was left: *errorCode is the system's error when it could not
// be written, 0 when its path cannot be given to Java (the box has said so).
char* writeArgumentFile(char** written, unsigned long* errorCode);

// Removes the file once Java is done with it, and releases its path;
// nothing when there is none.
void removeArgumentFile(char** written);

#endif
