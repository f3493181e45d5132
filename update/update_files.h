// The file operations a staged update is made of, each traced with -d when
// it fails.
#ifndef CORVANE_UPDATE_UPDATE_FILES_H
#define CORVANE_UPDATE_UPDATE_FILES_H

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// A debug trace line, "update: " and the text formed from format.
void traceUpdate(const char* format, ...) CORVANE_PRINTF(1, 2);

// folder + "\" + relative (heap text).
char* joinPath(const char* folder, const char* relative);

// What is at path; traced when it cannot be examined.
PathKind pathKindTraced(const char* path);

// Moves the file; false, traced, when it could not be moved.
bool moveTraced(const char* from, const char* to);

// Makes root and every folder on relative's path below it (not relative
// itself); false, traced, when one could not be made.
bool makeFoldersFor(const char* root, const char* relative);

// Appends each line of the file (UTF-8 after a byte order mark, else the
// ANSI code page) to lines; false, traced, when it could not be read whole.
bool readLines(const char* path, TextList* lines);

// Everything below a folder, one line for each ("f <path>" for a file,
// "d <path>" for a folder, the path relative to the folder), a folder
// before what it holds (heap text, caller releases; "" for an empty
// folder). A link to a folder is listed as a file, not entered. NULL when
// the folder is missing or could not be listed whole.
char* listTree(const char* folder);

// Removes the folder with everything in it, as far as it can: a file that
// cannot be removed (the running program, set aside) stays, with its folders.
void removeTree(const char* folder);

#endif
