// One Java runtime the search considers: where it was found, its home, and
// what examining the home tells of it.
#ifndef CORVANE_RUNTIME_JAVA_CANDIDATE_H
#define CORVANE_RUNTIME_JAVA_CANDIDATE_H

#include "common/text.h"
#include "runtime/java_version.h"

// Why a candidate was or was not taken, in the order they are tested.
enum JavaVerdict {
  kVerdictFits,
  kVerdictChosen,
  kVerdictNoExecutable,    // bin\javaw.exe (java.exe with -d or in the console launcher) is missing
  kVerdictVersionUnknown,  // a range was asked for and the version cannot be read
  kVerdictTooOld,
  kVerdictTooNew,
  kVerdictWrongKind,       // javaBits asks for the other kind (or the kind is unknown)
};

struct JavaCandidate {
  char* where;        // how it was found: the "javaHome" line or the registry key
  char* home;         // with backslashes and no trailing separator
  char* versionText;  // from the release file, else from the registry; NULL when none
  JavaVersion version;
  int bits;           // 32 or 64 from the executable's header; 0 when unknown
  JavaVerdict verdict;
};

// The JAVA_VERSION="..." value of home\release (heap text), or NULL when
// the file or the line is missing.
char* releaseFileVersion(const char* home);

// Reads the home's executable header and release file, then judges the
// candidate against minJava, maxJava and javaBits.
void examineCandidate(JavaCandidate* candidate);

// "home: Java version, kind, verdict", the way the trace lines and the
// nothing-fits message show a candidate.
void describeCandidate(TextBuffer* text, const JavaCandidate* candidate);

#endif
