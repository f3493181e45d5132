// The configuration file reader: applies each line to the settings at once.
#ifndef CORVANE_CONFIG_CONFIG_FILE_H
#define CORVANE_CONFIG_CONFIG_FILE_H

// Returns 0 when the file was opened (whatever its lines held), 1 when it
// could not be opened, or when it or a file it includes could not be read to
// its end (an include that cannot be opened is only skipped). A
// "javaVersion" line that yields no Java command ends the process with
// kExitNoJavaForVersion.
int readConfigFile(const char* path);

// How a "javaVersion" line turns settings.javaVersion into a Java command:
// a heap text, or NULL after the user was told why there is none. The reader
// knows nothing of where runtimes are registered; the main sequence supplies
// the lookup (findJavaForVersion). Without one, every such line yields no
// command, as a runtime that is not installed does.
typedef char* (*JavaVersionLookup)(void);
void setJavaVersionLookup(JavaVersionLookup lookup);

// How deeply "include" lines may nest before the reader refuses to go on.
enum { kMaxIncludeDepth = 32 };

#endif
