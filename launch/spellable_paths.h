// Java's own launcher reads its command line in the ANSI code page. A path
// that the code page cannot spell is given to Java in its short (8.3) form,
// which is ASCII, wherever it names an existing file or folder: the Java
// executable, each class-path entry and each program argument. Everything
// the code page can spell, and whatever names nothing, stays as written.
#ifndef CORVANE_LAUNCH_SPELLABLE_PATHS_H
#define CORVANE_LAUNCH_SPELLABLE_PATHS_H

// Rewrites those settings in place. Returns false, after one error box naming
// the path, when an existing file or folder has no short form that the code
// page spells (its volume keeps no short names): Java must not be started then.
bool giveJavaSpellablePaths(void);

// The path of a file Java is to open, in the form these rules give it (heap
// text); NULL, after the same error box, when Java cannot be given it.
char* pathJavaCanOpen(const char* path);

#endif
