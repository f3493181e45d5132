#include "update/update_apply.h"

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"
#include "update/update_files.h"

// Moves the file at from to the place to, when that place is free (the
// folders on its way below makeUnder made first); nothing when no file is
// at from. A file holding the place stays, and so does the one at from,
// where that is fine: a remove.list line for a file the update also puts
// finds it set aside already, and its undoing finds the file put back.
// False when either cannot be told, or the move fails.
static bool moveToFreePlace(const char* from, const char* to, const char* makeUnder,
                            const char* relative, bool takenIsFine) {
  PathKind there = pathKindTraced(from);
  if (there != kPathFile) return there == kPathMissing;
  PathKind place = pathKindTraced(to);
  if (place != kPathMissing) return place == kPathFile && takenIsFine;
  return (!makeUnder || makeFoldersFor(makeUnder, relative)) && moveTraced(from, to);
}

static bool takeStep(const UpdateSite* site, const char* step) {
  const char* relative = step + 2;
  char* target = joinPath(site->app, relative);
  bool taken;
  if (step[0] == kStepFolder) {
    taken = makeFoldersFor(target, "");  // its parent exists, or an earlier step made it
  } else {
    char* backup = joinPath(site->backup, relative);
    taken = moveToFreePlace(target, backup, site->backup, relative, step[0] == kStepRemove);
    releaseMemory(backup);
    char* staged = step[0] == kStepPut ? joinPath(site->staged, relative) : nullptr;
    if (taken && staged) taken = moveTraced(staged, target);
    releaseMemory(staged);
  }
  releaseMemory(target);
  return taken;
}

bool takeSteps(const UpdateSite* site, const TextList* steps) {
  bool taken = true;
  for (int i = 0; taken && i < steps->count; ++i) taken = takeStep(site, steps->items[i]);
  return taken;
}

// A put whose new file is in place goes back to the update folder.
static bool takeBack(const UpdateSite* site, const char* relative, const char* target) {
  char* staged = joinPath(site->staged, relative);
  PathKind waiting = pathKindTraced(staged);
  PathKind there = waiting == kPathMissing ? pathKindTraced(target) : kPathUnknown;
  bool back = waiting == kPathFile || (there == kPathFile && moveTraced(target, staged));
  releaseMemory(staged);
  return back;
}

static bool undoStep(const UpdateSite* site, const char* step) {
  const char* relative = step + 2;
  char* target = joinPath(site->app, relative);
  bool undone;
  if (step[0] == kStepFolder) {
    undone = platform.removeDirectory(target) || pathKindTraced(target) == kPathMissing;
  } else {
    char* backup = joinPath(site->backup, relative);
    undone = (step[0] != kStepPut || takeBack(site, relative, target)) &&
             moveToFreePlace(backup, target, nullptr, relative, true);
    releaseMemory(backup);
  }
  releaseMemory(target);
  return undone;
}

bool undoSteps(const UpdateSite* site, const TextList* steps) {
  bool undone = true;
  for (int i = steps->count - 1; i >= 0; --i) undone = undoStep(site, steps->items[i]) && undone;
  return undone;
}
