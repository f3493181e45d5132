#include "update/update_apply.h"

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"
#include "update/update_files.h"

// Moves the file at the relative path into the backup folder; nothing when
// there is none. A file already set aside (a remove.list line for a file
// the update also puts, or written twice) stays there as it is.
static bool setAside(const UpdateSite* site, const char* relative, const char* target) {
  char* backup = joinPath(site->backup, relative);
  PathKind there = pathKindTraced(target), kept = pathKindTraced(backup);
  bool fine = there != kPathUnknown && kept != kPathUnknown;
  if (fine && there == kPathFile && kept == kPathMissing)
    fine = makeFoldersFor(site->backup, relative) && moveTraced(target, backup);
  releaseMemory(backup);
  return fine;
}

static bool takeStep(const UpdateSite* site, const char* step) {
  const char* relative = step + 2;
  char* target = joinPath(site->app, relative);
  bool taken;
  if (step[0] == kStepFolder) {
    taken = makeFoldersFor(target, "");  // its parent exists, or an earlier step made it
  } else {
    taken = setAside(site, relative, target);
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

// The old file comes back from the backup folder to a place left free.
static bool restore(const UpdateSite* site, const char* relative, const char* target) {
  char* backup = joinPath(site->backup, relative);
  PathKind kept = pathKindTraced(backup);
  PathKind there = kept == kPathFile ? pathKindTraced(target) : kPathMissing;
  bool restored = kept == kPathMissing || there == kPathFile ||
                  (there == kPathMissing && moveTraced(backup, target));
  releaseMemory(backup);
  return restored;
}

static bool undoStep(const UpdateSite* site, const char* step) {
  const char* relative = step + 2;
  char* target = joinPath(site->app, relative);
  bool undone;
  if (step[0] == kStepFolder)
    undone = platform.removeDirectory(target) || pathKindTraced(target) == kPathMissing;
  else
    undone = (step[0] != kStepPut || takeBack(site, relative, target)) &&
             restore(site, relative, target);
  releaseMemory(target);
  return undone;
}

bool undoSteps(const UpdateSite* site, const TextList* steps) {
  bool undone = true;
  for (int i = steps->count - 1; i >= 0; --i) undone = undoStep(site, steps->items[i]) && undone;
  return undone;
}
