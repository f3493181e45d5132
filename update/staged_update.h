// A staged update, applied before Java is chosen: the application's files
// are the old version or the new one, byte for byte, whatever fails and
// whenever the launcher is ended.
#ifndef CORVANE_UPDATE_STAGED_UPDATE_H
#define CORVANE_UPDATE_STAGED_UPDATE_H

enum StagedUpdate {
  kUpdateNone,     // nothing applied: none staged, or it waits for a later start (traced)
  kUpdateApplied,  // the new version is in place
  kUpdateStuck,    // an update cut short could not be undone, or the launcher cannot
                   // tell whether one was: no Java may start
};

// Applies the update staged in settings.updateDirectory (relative to the
// exe's folder), after undoing one that a journal shows was cut short.
// Without the key, or without the folder, it costs one look at the folder.
StagedUpdate applyStagedUpdate(void);

#endif
