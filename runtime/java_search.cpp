#include "runtime/java_search.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "platform/platform.h"
#include "runtime/java_candidate.h"
#include "runtime/java_location.h"
#include "runtime/no_suitable_java.h"
#include "runtime/runtime_layouts.h"

struct CandidateList {
  JavaCandidate* items;
  int count;
  int capacity;
  // The candidates before it came from "javaHome" lines. A registered home
  // that a "javaHome" line named is listed again: the key may tell a version
  // that the home's own files do not.
  int firstRegistered;
};

static JavaCandidate* findHome(CandidateList* list, const char* home) {
  for (int i = list->firstRegistered; i < list->count; ++i)
    if (platform.pathsEqual(list->items[i].home, home)) return &list->items[i];
  return nullptr;
}

// A home as the search keeps it: '/' becomes '\', trailing separators go.
static char* normalizedHome(const char* home) {
  char* copy = copyText(home);
  size_t length = strlen(copy);
  for (size_t i = 0; i < length; ++i)
    if (copy[i] == '/') copy[i] = '\\';
  while (length && copy[length - 1] == '\\') copy[--length] = '\0';
  return copy;
}

// A runtime seen through two keys or two views (or named twice by
// "javaHome") is one candidate; when the second key's name gives a higher
// version (1.8.0_392 after 1.8), or a version at all, it keeps that one.
// Returns the new candidate, or NULL for one already listed.
static JavaCandidate* addCandidate(CandidateList* list, const char* where, const char* version,
                                   const char* home) {
  char* normalized = normalizedHome(home);
  JavaCandidate* known = findHome(list, normalized);
  if (known) {
    releaseMemory(normalized);
    JavaVersion seen = parseJavaVersion(known->versionText ? known->versionText : "");
    JavaVersion offered = parseJavaVersion(version ? version : "");
    if (offered.count && (!seen.count || compareJavaVersions(&offered, &seen, 3) > 0))
      setSetting(&known->versionText, version);
    return nullptr;
  }
  if (list->count == list->capacity) {
    list->capacity = list->capacity ? list->capacity * 2 : 8;
    list->items = static_cast<JavaCandidate*>(
        reallocateOrDie(list->items, sizeof(JavaCandidate) * (size_t)list->capacity));
  }
  JavaCandidate* added = &list->items[list->count++];
  *added = JavaCandidate{copyText(where), normalized, version ? copyText(version) : nullptr,
                         {}, 0, kVerdictFits};
  return added;
}

static void collectRegistered(const char* where, const char* version, const char* home,
                              void* list) {
  addCandidate(static_cast<CandidateList*>(list), where, version, home);
}

static void traceCandidate(const JavaCandidate* candidate) {
  if (!settings.debug) return;
  TextBuffer text = {};
  describeCandidate(&text, candidate);
  traceLine("Java search: %s: %s\n", candidate->where, text.data);
  textFree(&text);
}

// A "javaHome" value; a relative one is taken from the executable's own
// directory, whatever the current directory is.
static char* homeFromLine(const char* line) {
  char* home = pathInProgramDirectory(line);
  return home ? home : copyText(line);
}

static bool betterThan(const JavaCandidate* a, const JavaCandidate* b) {
  if (!b) return true;
  if (!a->version.count != !b->version.count) return a->version.count != 0;
  int order = compareJavaVersions(&a->version, &b->version, 3);
  if (order != 0) return order > 0;
  return a->bits == 64 && b->bits != 64;
}

static JavaCandidate* firstFittingHome(CandidateList* list) {
  for (int i = 0; i < settings.javaHome.count; ++i) {
    char* home = homeFromLine(settings.javaHome.items[i]);
    char* where = formatText("javaHome %s", settings.javaHome.items[i]);
    JavaCandidate* candidate = addCandidate(list, where, nullptr, home);
    releaseMemory(where);
    releaseMemory(home);
    if (!candidate) continue;
    examineCandidate(candidate);
    if (candidate->verdict == kVerdictFits) return candidate;
    traceCandidate(candidate);
  }
  return nullptr;
}

static JavaCandidate* bestRegistered(CandidateList* list) {
  list->firstRegistered = list->count;
  walkRegisteredRuntimes(collectRegistered, list);
  JavaCandidate* best = nullptr;
  for (int i = list->firstRegistered; i < list->count; ++i) {
    examineCandidate(&list->items[i]);
    if (list->items[i].verdict == kVerdictFits && betterThan(&list->items[i], best))
      best = &list->items[i];
  }
  if (best) best->verdict = kVerdictChosen;
  for (int i = list->firstRegistered; i < list->count; ++i) traceCandidate(&list->items[i]);
  return best;
}

char* searchJava(void) {
  CandidateList list = {};
  JavaCandidate* chosen = firstFittingHome(&list);
  if (chosen) {
    chosen->verdict = kVerdictChosen;
    traceCandidate(chosen);
  } else {
    chosen = bestRegistered(&list);
  }
  if (!chosen) tellNoJavaFits(list.items, list.count);
  char* executable = chosen ? javaExecutableInHome(chosen->home) : nullptr;
  if (chosen && chosen->versionText) setSetting(&settings.javaRuntimeVersion, chosen->versionText);
  for (int i = 0; i < list.count; ++i) {
    releaseMemory(list.items[i].where);
    releaseMemory(list.items[i].home);
    releaseMemory(list.items[i].versionText);
  }
  releaseMemory(list.items);
  return executable;
}
