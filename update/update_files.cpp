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

static bool isDotEntry(const char* name) {
  return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]));
}

// Lists the folder's entries below relative ("" for the folder itself, else
// a path that ends in '\\'), each folder followed by what it holds. False
// when a listing fails, or cannot be read to its end.
static bool listLevel(const char* folder, const char* relative, TextBuffer* tree) {
  char* pattern = formatText("%s\\%s*", folder, relative);
  ListedEntry entry;
  DirectoryListing listing = platform.listFirst(pattern, &entry);
  releaseMemory(pattern);
  if (!listing) return false;
  bool listed = true;
  do {
    if (isDotEntry(entry.name)) continue;
    bool isFolder = entry.isDirectory && !entry.isLink;
    char* path = formatText("%s%s\\", relative, entry.name);  // as the relative of what it holds
    textAppend(tree, isFolder ? "d " : "f ");
    textAppendPart(tree, path, strlen(path) - 1);
    textAppendChar(tree, '\n');
    listed = !isFolder || listLevel(folder, path, tree);
    releaseMemory(path);
  } while (listed && platform.listNext(listing, &entry));
  platform.listClose(listing);
  return listed && !entry.failed;
}

char* listTree(const char* folder) {
  TextBuffer tree = {};
  if (listLevel(folder, "", &tree)) return textRelease(&tree);
  textFree(&tree);
  return nullptr;
}

// The listing's lines from the last: what a folder holds comes before the
// folder itself.
void removeTree(const char* folder) {
  char* tree = listTree(folder);
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
