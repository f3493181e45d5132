// The message when the Java search finds nothing that fits.
#ifndef CORVANE_RUNTIME_NO_SUITABLE_JAVA_H
#define CORVANE_RUNTIME_NO_SUITABLE_JAVA_H

#include "runtime/java_candidate.h"

// The page offered when the configuration names none: it serves current
// releases of every Java version, 32-bit and 64-bit.
#define DEFAULT_DOWNLOAD_PAGE "https://adoptium.net/temurin/releases/"

// One Yes/No box: which Java the application needs, each candidate with the
// reason it was not taken, and whether to open the download page; Yes opens
// "downloadPage" or DEFAULT_DOWNLOAD_PAGE. Returns.
void tellNoJavaFits(const JavaCandidate* candidates, int count);

#endif
