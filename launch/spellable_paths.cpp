#include "launch/spellable_paths.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// The short form to give Java for a path that the code page cannot spell
// (heap text), or NULL to keep the path as written: it is spellable, or it
// names nothing. *given is false, after the error box, when the short form
// is not one the code page spells either.
static char* shortFormForJava(const char* path, bool* given) {
  char* shortForm = platform.ansiCanSpell(path) ? nullptr : platform.shortPath(path);
  *given = !shortForm || platform.ansiCanSpell(shortForm);
  if (*given) return shortForm;
  showError("Java cannot be given the path\n%s\nThe system's code page cannot spell it, and "
            "its drive keeps no short (8.3) name for it.",
            path);
  releaseMemory(shortForm);
  return nullptr;
}

// Appends one entry as Java is to get it: as written, or as the short form of
// the path it names (in quotes when the entry had any) when the code page
// cannot spell it. False, after the error box, when that short form is not
// one the code page spells either.
static bool appendForJava(TextBuffer* out, const char* entry, size_t length) {
  TextBuffer path = {};
  textAppendPart(&path, "", 0);
  for (size_t i = 0; i < length; ++i)
    if (entry[i] != '"') textAppendChar(&path, entry[i]);
  bool given = true;
  char* shortForm = shortFormForJava(path.data, &given);
  if (!shortForm) {
    textAppendPart(out, entry, length);
  } else {
    const char* quote = path.length != length ? "\"" : "";
    textAppend(out, quote);
    textAppend(out, shortForm);
    textAppend(out, quote);
  }
  releaseMemory(shortForm);
  textFree(&path);
  return given;
}

char* pathJavaCanOpen(const char* path) {
  bool given = true;
  char* shortForm = shortFormForJava(path, &given);
  return shortForm ? shortForm : given ? copyText(path) : nullptr;
}

// A class path's entries are separated by ';'.
static bool respell(char** field, bool classPath) {
  if (!*field || textIsAscii(*field)) return true;
  TextBuffer out = {};
  const char* entry = *field;
  bool given = true;
  while (given) {
    const char* end = classPath ? strchr(entry, ';') : nullptr;
    given = appendForJava(&out, entry, end ? end - entry : strlen(entry));
    if (!end) break;
    textAppendChar(&out, ';');
    entry = end + 1;
  }
  releaseMemory(*field);
  *field = textRelease(&out);
  return given;
}

static bool respellList(TextList* list, bool classPath) {
  for (int i = 0; i < list->count; ++i)
    if (!respell(&list->items[i], classPath)) return false;
  return true;
}

bool giveJavaSpellablePaths(void) {
  return respell(&settings.javapath, false) && respellList(&settings.vmpath, true) &&
         respellList(&settings.vmjars, true) && respellList(&settings.arguments, false);
}
