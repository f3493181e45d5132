// The configuration file reader: applies each line to the settings at once.
#ifndef CORVANE_CONFIG_CONFIG_FILE_H
#define CORVANE_CONFIG_CONFIG_FILE_H

// Returns 0 when the file was opened (whatever its lines held), 1 when it
// could not be opened. A "javaVersion" line that yields no Java command ends
// the process with kExitNoJavaForVersion.
int readConfigFile(const char* path);

// How deeply "include" lines may nest before the reader refuses to go on.
enum { kMaxIncludeDepth = 32 };

#endif
