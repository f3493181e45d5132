#include "update/update_files.h"

#include <stdarg.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "config/line_reader.h"
#include "platform/platform.h"

// One prefix for all of the update's lines.
void traceUpdate(const char* format, ...) {
  if (!settings.debug) return;
  TextBuffer text = {};
  textAppend(&text, "update: ");
  va_list arguments;
  va_start(arguments, format);
  textAppendFormatList(&text, format, arguments);
  va_end(arguments);
  debugTraceLine("%s", text.data);
  textFree(&text);
}

char* joinPath(const char* folder, const char* relative) {
  return formatText("%s\\%s", folder, relative);
}

PathKind pathKindTraced(const char* path) {
  PathKind kind = platform.pathKind(path);
  if (kind == kPathUnknown) traceUpdate("cannot examine %s\n", path);
  return kind;
}

bool moveTraced(const char* from, const char* to) {
  unsigned long error = 0;
  if (platform.moveFile(from, to, &error)) return true;
  traceUpdate("cannot move %s to %s (error %lu)\n", from, to, error);
  return false;
}

static bool folderMade(const char* path) {
  unsigned long error = 0;
  if (platform.createDirectory(path, &error)) return true;
  traceUpdate("cannot make %s (error %lu)\n", path, error);
  return false;
}

bool makeFoldersFor(const char* root, const char* relative) {
  bool made = folderMade(root);
  for (const char* slash = strchr(relative, '\\'); made && slash; slash = strchr(slash + 1, '\\')) {
    char* folder = copyTextPart(relative, slash - relative);
    char* path = joinPath(root, folder);
    made = folderMade(path);
    releaseMemory(path);
    releaseMemory(folder);
  }
  return made;
}

bool readLines(const char* path, TextList* lines) {
  const char* errorText = "";
  FileHandle file = platform.openFile(path, &errorText);
  LineReader reader = {};
  reader.failed = !file;
  if (file) {
    TextBuffer line = {};
    startLineReader(&reader, file);
    while (readLine(&reader, &line)) appendSetting(lines, line.data ? line.data : "");
    textFree(&line);
    finishLineReader(&reader);
    platform.closeFile(file);
  }
  if (reader.failed) traceUpdate("cannot read %s\n", path);
  return !reader.failed;
}

// The listing's lines from the last: what a folder holds comes before the
// folder itself.
void removeTree(const char* folder) {
  char* tree = platform.listTree(folder);
  for (size_t end = tree ? strlen(tree) : 0; end > 0;) {
    tree[end - 1] = '\0';
    char* lineFeed = strrchr(tree, '\n');
    char* line = lineFeed ? lineFeed + 1 : tree;
    char* path = joinPath(folder, line + 2);
    if (line[0] == 'd')
      platform.removeDirectory(path);
    else if (!platform.removeFile(path))
      traceUpdate("cannot remove %s yet\n", path);
    releaseMemory(path);
    end = line - tree;
  }
  releaseMemory(tree);
  platform.removeDirectory(folder);
}
