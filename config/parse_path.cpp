#include "config/parse_path.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "platform/platform.h"

static void toForwardSlashes(char* text) {
  for (char* p = text; *p; ++p)
    if (*p == '\\') *p = '/';
}

// The name after the '$' ends at the first backslash after it; failing that,
// at the first slash; failing that, at the end of the value. Returns where it ends.
static const char* nameEnd(const char* dollar) {
  const char* end = strchr(dollar + 1, '\\');
  if (!end) end = strchr(dollar + 1, '/');
  if (!end) end = dollar + strlen(dollar);
  return end;
}

static bool endsWithSeparator(const char* text) {
  size_t length = strlen(text);
  return length > 0 && (text[length - 1] == '/' || text[length - 1] == '\\');
}

char* parsePath(const char* value, bool quoting) {
  const char* dollar = strchr(value, '$');
  if (!dollar) return copyText(value);

  const char* separator = nameEnd(dollar);
  const char* equals = strchr(value, '=');
  if (equals && equals < dollar) quoting = true;

  char* name = copyTextPart(dollar + 1, separator - (dollar + 1));
  const char* variable = *name ? platform.environmentValue(name) : nullptr;
  if (!variable) {
    debugMessage("Can't find variable", "%s", name);
    releaseMemory(name);
    return copyText(value);
  }
  releaseMemory(name);

  bool quoted = quoting && strchr(variable, ' ') != nullptr;
  TextBuffer result = {};
  if (!equals && quoted) textAppendChar(&result, '"');
  textAppendPart(&result, value, dollar - value);
  if (equals && quoted) textAppendChar(&result, '"');
  textAppend(&result, variable);
  // A value ending in a separator swallows the one after the name, so that
  // no doubled separator arises.
  if (*separator) textAppend(&result, endsWithSeparator(variable) ? separator + 1 : separator);
  if (quoted) textAppendChar(&result, '"');

  debugMessage("Parse Path", "arg [%s] expanded to [%s]\n", value, result.data);
  char* expanded = textRelease(&result);
  toForwardSlashes(expanded);
  return expanded;
}
