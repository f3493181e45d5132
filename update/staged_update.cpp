#include "update/staged_update.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "platform/platform.h"
#include "update/update_apply.h"
#include "update/update_files.h"
#include "update/update_journal.h"
#include "update/update_plan.h"

static void releaseSite(UpdateSite* site) {
  char** paths[] = {&site->app, &site->update, &site->staged, &site->backup, &site->journal};
  for (char** path : paths) releaseMemory(*path);
}

enum SiteLook { kNoSite, kSiteFound, kSiteUnknown };

// Whether an update folder is there to look into. Where the launcher
// cannot tell (its own path or the folder cannot be examined), an update
// cut short may be there too.
static SiteLook lookForSite(UpdateSite* site) {
  if (textIsEmpty(settings.updateDirectory)) return kNoSite;
  site->update = copyText(settings.updateDirectory);
  size_t length = strlen(site->update);
  while (length > 0 && (site->update[length - 1] == '\\' || site->update[length - 1] == '/'))
    site->update[--length] = '\0';
  if (!staysInside(site->update)) {
    refused(settings.updateDirectory, kLeadsOutside);
    return kNoSite;
  }
  site->app = programDirectory();
  site->staged = site->app ? joinPath(site->app, site->update) : copyText(site->update);
  PathKind kind = site->app ? pathKindTraced(site->staged) : kPathUnknown;
  if (kind != kPathDirectory) return kind == kPathUnknown ? kSiteUnknown : kNoSite;
  site->backup = joinPath(site->staged, kBackupName);
  site->journal = joinPath(site->staged, kJournalName);
  return kSiteFound;
}

// After the steps were undone, or none was taken: the journal goes, then
// the emptied backup folder.
static void closeJournal(const UpdateSite* site) {
  platform.removeFile(site->journal);
  removeTree(site->backup);
}

// A journal is an update cut short: its steps are undone before anything else.
static bool cutShortUndone(const UpdateSite* site) {
  PathKind journal = platform.pathKind(site->journal);
  if (journal == kPathMissing) return true;
  TextList steps = {};
  bool undone = journal == kPathFile && readJournal(site, &steps) && undoSteps(site, &steps);
  clearTextList(&steps);
  if (undone) closeJournal(site);
  traceUpdate("%s an update cut short\n", undone ? "undid" : "cannot undo");
  return undone;
}

// The journal's removal is the moment the new version is there to stay.
// Without it, the steps are undone at once: a journal left over must never
// undo a version that Java has run.
static StagedUpdate takeAll(const UpdateSite* site, const TextList* steps) {
  if (!writeJournal(site, steps)) {
    platform.removeFile(site->journal);
    return kUpdateNone;
  }
  if (takeSteps(site, steps) && platform.removeFile(site->journal)) {
    traceUpdate("applied %d steps from %s\n", steps->count, site->staged);
    removeTree(site->staged);
    return kUpdateApplied;
  }
  if (!undoSteps(site, steps)) return kUpdateStuck;
  closeJournal(site);
  traceUpdate("undone; it waits in %s for a later start\n", site->staged);
  return kUpdateNone;
}

// What an update applied earlier set aside and could not remove then (the
// running launcher's own exe) goes first.
static StagedUpdate planned(const UpdateSite* site) {
  if (platform.pathKind(site->backup) == kPathDirectory) removeTree(site->backup);
  char* tree = listTree(site->staged);
  TextList steps = {};
  UpdatePlan plan = tree ? planUpdate(site, tree, &steps) : kPlanRefused;
  if (!tree) traceUpdate("cannot list %s\n", site->staged);
  StagedUpdate result = kUpdateNone;
  if (plan == kPlanEmpty) removeTree(site->staged);
  if (plan == kPlanReady) result = takeAll(site, &steps);
  clearTextList(&steps);
  releaseMemory(tree);
  return result;
}

StagedUpdate applyStagedUpdate(void) {
  UpdateSite site = {};
  SiteLook look = lookForSite(&site);
  StagedUpdate result = look == kSiteUnknown ? kUpdateStuck : kUpdateNone;
  if (look == kSiteFound) result = cutShortUndone(&site) ? planned(&site) : kUpdateStuck;
  releaseSite(&site);
  return result;
}
