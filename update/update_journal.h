// The journal: an update's steps, on disk from before its first move until
// it is done or undone. A start that finds one knows that an update was cut
// short and which steps to undo.
#ifndef CORVANE_UPDATE_UPDATE_JOURNAL_H
#define CORVANE_UPDATE_UPDATE_JOURNAL_H

#include "update/update_plan.h"

// Writes the steps to site->journal durably; false, traced, when it could
// not (a file left half written lists only steps that were never taken).
bool writeJournal(const UpdateSite* site, const TextList* steps);

// Reads the steps back, each checked as a plan's steps are; none from a
// journal cut short while it was written (no step was taken then). False
// when the journal cannot be read.
bool readJournal(const UpdateSite* site, TextList* steps);

#endif
