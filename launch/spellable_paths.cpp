#include "launch/spellable_paths.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

// Appends one entry as Java is to get it: as written, or as the short form of
// the path it names (in quotes when the entry had any) when the code page
// cannot spell it. False, after the error box, when that short form is not
// one the code page spells either.
static bool appendForJava(TextBuffer* out, const char* entry, size_t length) {
  TextBuffer path = {};
  textAppendPart(&path, "", 0);
  for (size_t i = 0; i < length; ++i)
    if (entry[i] != '"') textAppendChar(&path, entry[i]);
  char* shortForm = platform.ansiCanSpell(path.data) ? nullptr : platform.shortPath(path.data);
  bool given = !shortForm || platform.ansiCanSpell(shortForm);
  if (!given)
    showMessage("Error", kBoxIconError,
                "Java cannot be given the path\n%s\nThe system's code page cannot spell it, and "
                "its drive keeps no short (8.3) name for it.",
                path.data);
  if (!shortForm || !given) {
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
