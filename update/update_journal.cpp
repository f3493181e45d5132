#include "update/update_journal.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"
#include "update/update_files.h"

// A journal whose last line is not this one was cut short while it was
// written, before any step was taken.
static const char kJournalEnd[] = "end";

// UTF-8, and marked so: the line reader then reads it as written.
bool writeJournal(const UpdateSite* site, const TextList* steps) {
  TextBuffer text = {};
  textAppend(&text, "\xEF\xBB\xBF");
  for (int i = 0; i < steps->count; ++i) {
    textAppend(&text, steps->items[i]);
    textAppendChar(&text, '\n');
  }
  textAppend(&text, kJournalEnd);
  unsigned long error = 0;
  bool written = platform.writeFileDurably(site->journal, text.data, &error);
  if (!written) traceUpdate("cannot write %s (error %lu)\n", site->journal, error);
  textFree(&text);
  return written;
}

static bool isStep(char* line) {
  bool kind = line[0] == kStepFolder || line[0] == kStepPut || line[0] == kStepRemove;
  return kind && line[1] == ' ' && staysInside(line + 2);
}

bool readJournal(const UpdateSite* site, TextList* steps) {
  TextList lines = {};
  bool read = readLines(site->journal, &lines);
  bool whole = read && lines.count > 0 && strcmp(lines.items[lines.count - 1], kJournalEnd) == 0;
  for (int i = 0; whole && i < lines.count; ++i)
    if (isStep(lines.items[i])) appendSetting(steps, lines.items[i]);
  clearTextList(&lines);
  return read;
}
