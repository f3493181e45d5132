// Which configuration file the launcher reads, and where it works, as its
// variant and the way it was started decide.
#ifndef CORVANE_APP_CONFIG_LOCATION_H
#define CORVANE_APP_CONFIG_LOCATION_H

#include "common/launcher_variant.h"

// directory + "\\" + the program name's last part, without a final ".exe"
// (in lower case), + ".config" (heap text); NULL when there is no memory for it.
char* configPathIn(const char* directory, const char* programName);

// The configuration's path (heap text), after changing the working
// directory where the rules say so; NULL when none can be named (no memory
// for it, or the console launcher's own path could not be read).
//   - The console launcher, for tools run from any folder: the configuration
//     beside its exe, named after the exe (platform.programPath, however it
//     was typed); it stays in its caller's directory.
//   - The GUI launcher started by a full path (a drive letter, a colon and a
//     backslash, or a UNC path \\server\share\...): it changes to its exe's
//     directory and reads the configuration there, named as it was started.
//   - Started any other way (a bare name or a relative path): the
//     configuration in the current directory where one can be opened there;
//     else the one beside its exe, in whose directory it then works.
char* locateConfigFile(LauncherVariant variant, const char* programName);

#endif
