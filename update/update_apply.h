// Taking an update's steps, and undoing them. Every file an update replaces
// or removes is first moved into the backup folder, and every move is a
// rename on one volume that is on disk when it returns, so that from each
// step's files alone (the new file staged, the file in place, the old one
// set aside) its undoing knows how far it went.
#ifndef CORVANE_UPDATE_UPDATE_APPLY_H
#define CORVANE_UPDATE_UPDATE_APPLY_H

#include "update/update_plan.h"

// Takes the steps in order; false at the first that fails (traced).
bool takeSteps(const UpdateSite* site, const TextList* steps);

// Undoes the steps, from the last, whether they were taken, cut short or
// never begun; true when every one is undone: the old version is in place
// and the staged files wait where they were.
bool undoSteps(const UpdateSite* site, const TextList* steps);

#endif
