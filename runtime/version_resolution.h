#ifndef CORVANE_RUNTIME_VERSION_RESOLUTION_H
#define CORVANE_RUNTIME_VERSION_RESOLUTION_H

// Replaces settings.javaVersion by the installed version subkey with the
// highest patch level among those beginning with the requested prefix (the
// text before its first '_'), at least the requested minimum patch level.
// False after offering the download, when the runtime root key is missing
// or no installed release reaches the minimum: the version is missing.
bool resolveJavaVersion(void);

// The patch level after the first '_' as the C runtime's atoi reads it
// (leading white space, an optional sign, then digits; saturating), or 0.
int patchLevel(const char* version);

#endif
