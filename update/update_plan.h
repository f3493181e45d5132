// A staged update and the steps that apply it. The update folder holds the
// new version's files under their paths relative to the exe's folder, and
// an optional remove.list naming, one relative path a line, files the new
// version no longer has. The launcher keeps its own things there too: its
// journal and the folder of what it set aside.
#ifndef CORVANE_UPDATE_UPDATE_PLAN_H
#define CORVANE_UPDATE_UPDATE_PLAN_H

#include "common/launch_settings.h"

// The launcher's own names in the update folder.
extern const char kJournalName[];
extern const char kBackupName[];

// Where an update happens; every path is a heap text.
struct UpdateSite {
  char* app;      // the exe's folder
  char* update;   // the update folder relative to it, with '\' separators
  char* staged;   // app\update
  char* backup;   // staged\update.backup (kBackupName): what the update replaced or removed
  char* journal;  // staged\update.journal (kJournalName): the steps, while they are under way
};

// A step is a text: its kind, a blank, the path relative to the exe's folder.
enum : char {
  kStepFolder = 'd',  // make a folder the new version has and the old one lacks
  kStepPut = 'p',     // set the old file aside (when there is one), move the new one in
  kStepRemove = 'r',  // set the old file aside
};

enum UpdatePlan {
  kPlanReady,    // steps to take
  kPlanEmpty,    // nothing staged that changes a file
  kPlanRefused,  // the update cannot be taken as it is (traced): it is left untouched
};

// Turns '/' into '\' in place; true when the relative path stays inside the
// folder it is relative to: no drive, no root, no UNC path, no "." or ".."
// and no name that Windows would change (ending in a dot or a blank) or
// could not hold.
bool staysInside(char* relative);

extern const char kLeadsOutside[];

// Traces why the update is refused; false.
bool refused(const char* path, const char* why);

// True when the relative path is the folder or lies below it (ASCII
// letters compared without regard to case).
bool isAtOrBelow(const char* path, const char* folder);

// The steps, in order (folders, files put, files removed), from the staged
// folder's listing (listTree's text, update/update_files.h) and its remove.list.
UpdatePlan planUpdate(const UpdateSite* site, const char* tree, TextList* steps);

#endif
