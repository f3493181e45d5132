#include "update/update_plan.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"
#include "update/update_files.h"

const char kJournalName[] = "update.journal";
const char kBackupName[] = "update.backup";
static const char kRemoveListName[] = "remove.list";

static bool nameIsAllowed(const char* name, size_t length) {
  bool onlyDots = true;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = (unsigned char)name[i];
    if (c < 0x20 || strchr(":*?\"<>|", c)) return false;
    onlyDots = onlyDots && (c == '.' || c == ' ');
  }
  return length > 0 && !onlyDots && name[length - 1] != '.' && name[length - 1] != ' ';
}

bool staysInside(char* relative) {
  for (char* p = relative; *p; ++p)
    if (*p == '/') *p = '\\';
  for (const char* name = relative;;) {
    const char* end = strchr(name, '\\');
    size_t length = end ? (size_t)(end - name) : strlen(name);
    if (!nameIsAllowed(name, length)) return false;
    if (!end) return true;
    name = end + 1;
  }
}

// True when the path is the folder or lies below it. Only ASCII letters are
// compared without regard to case: the launcher's own names have no others,
// and an update folder named otherwise is compared as written.
bool isAtOrBelow(const char* path, const char* folder) {
  size_t length = strlen(folder);
  return textStartsWithFolded(path, folder) && (path[length] == '\0' || path[length] == '\\');
}

bool refused(const char* path, const char* why) {
  traceUpdate("refused: %s %s\n", path, why);
  return false;
}

// What stands at the relative path in the exe's folder, refused when it is
// not what the step may find there.
static bool kindFits(const UpdateSite* site, const char* relative, PathKind* kind, PathKind wrong) {
  char* path = joinPath(site->app, relative);
  *kind = platform.pathKind(path);
  releaseMemory(path);
  if (*kind == kPathUnknown) return refused(relative, "cannot be examined");
  return *kind != wrong || refused(relative, wrong == kPathFile ? "is a file" : "is a folder");
}

// The formatter knows no %c.
static char* stepText(char kind, const char* relative) {
  const char head[] = {kind, ' ', '\0'};
  return formatText("%s%s", head, relative);
}

static bool listed(const TextList* list, const char* text) {
  for (int i = 0; i < list->count; ++i)
    if (strcmp(list->items[i], text) == 0) return true;
  return false;
}

// A folder step for each folder on the path that the exe's folder lacks.
static bool planFolders(const UpdateSite* site, const char* relative, TextList* steps) {
  bool fine = true;
  for (const char* slash = strchr(relative, '\\'); fine && slash; slash = strchr(slash + 1, '\\')) {
    char* step = stepText(kStepFolder, relative);
    step[2 + (slash - relative)] = '\0';
    PathKind kind = kPathDirectory;
    fine = listed(steps, step) || kindFits(site, step + 2, &kind, kPathFile);
    if (fine && kind == kPathMissing) appendSetting(steps, step);
    releaseMemory(step);
  }
  return fine;
}

const char kLeadsOutside[] = "leads outside the application's folder";

static bool checkedPath(const UpdateSite* site, char* relative) {
  if (!staysInside(relative)) return refused(relative, kLeadsOutside);
  return !isAtOrBelow(relative, site->update) || refused(relative, "lies in the update folder");
}

static void appendStep(TextList* steps, char kind, const char* relative) {
  char* step = stepText(kind, relative);
  appendSetting(steps, step);
  releaseMemory(step);
}

static bool planPut(const UpdateSite* site, char* relative, TextList* folders, TextList* puts) {
  PathKind kind;
  bool fine = checkedPath(site, relative) && kindFits(site, relative, &kind, kPathDirectory) &&
              planFolders(site, relative, folders);
  if (fine) appendStep(puts, kStepPut, relative);
  return fine;
}

// Blank lines and lines starting with '#' say nothing; blanks at a line's
// end are not part of its path. A file that is not there needs no step.
static bool planRemove(const UpdateSite* site, char* line, TextList* removes) {
  size_t length = strlen(line);
  while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t')) line[--length] = '\0';
  if (length == 0 || line[0] == '#') return true;
  PathKind kind;
  bool fine = checkedPath(site, line) && kindFits(site, line, &kind, kPathDirectory);
  if (fine && kind == kPathFile) appendStep(removes, kStepRemove, line);
  return fine;
}

static bool planRemoveList(const UpdateSite* site, TextList* removes) {
  char* path = joinPath(site->staged, kRemoveListName);
  TextList lines = {};
  bool fine = readLines(path, &lines);
  for (int i = 0; fine && i < lines.count; ++i) fine = planRemove(site, lines.items[i], removes);
  clearTextList(&lines);
  releaseMemory(path);
  return fine;
}

static void moveItems(TextList* to, TextList* from) {
  for (int i = 0; i < from->count; ++i) appendSetting(to, from->items[i]);
  clearTextList(from);
}

UpdatePlan planUpdate(const UpdateSite* site, const char* tree, TextList* steps) {
  TextList puts = {}, removes = {};
  bool fine = true, removeList = false;
  char* lines = copyText(tree);
  for (char *line = lines, *end; fine && (end = strchr(line, '\n')); line = end + 1) {
    *end = '\0';  // each of the tree's lines ends in a line feed
    char* relative = line + 2;
    bool own = isAtOrBelow(relative, kJournalName) || isAtOrBelow(relative, kBackupName) ||
               isAtOrBelow(relative, kRemoveListName);
    removeList = removeList || (line[0] == 'f' && strlen(relative) == sizeof kRemoveListName - 1 &&
                                isAtOrBelow(relative, kRemoveListName));
    if (line[0] == 'f' && !own) fine = planPut(site, relative, steps, &puts);
  }
  if (fine && removeList) fine = planRemoveList(site, &removes);
  bool empty = puts.count == 0 && removes.count == 0;
  moveItems(steps, &puts);
  moveItems(steps, &removes);
  releaseMemory(lines);
  return !fine ? kPlanRefused : empty ? kPlanEmpty : kPlanReady;
}
