#include "config/config_file.h"

#include <stddef.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "config/instance_name.h"
#include "config/jar_scan.h"
#include "config/line_reader.h"
#include "config/parse_path.h"
#include "platform/platform.h"

enum ValueTreatment : unsigned char { kExpandQuoted, kExpandUnquoted, kAsWritten };

typedef void (*KeyAction)(const char* value);

// A key either runs its action or, without one, stores its value in the
// settings field at fieldOffset: a text it replaces or a list it extends.
struct ConfigKey {
  const char* key;
  ValueTreatment treatment;
  bool isList;
  unsigned char fieldOffset;
  KeyAction action;
};

static void includeFile(const char* value);

static JavaVersionLookup javaVersionLookup;

void setJavaVersionLookup(JavaVersionLookup lookup) { javaVersionLookup = lookup; }

// The Java executable is located while the line is read, so that a later
// "javapath" line overrides it and a later "javaVersion" line locates again.
static void locateJavaForVersion(const char* value) {
  setSetting(&settings.javaVersion, value);
  char* command = javaVersionLookup ? javaVersionLookup() : nullptr;
  if (textIsEmpty(command)) {
    releaseMemory(command);  // a lookup may answer with an empty text
    endProcess(kExitNoJavaForVersion);
  }
  setSetting(&settings.javapath, command);
  releaseMemory(command);
}

// Tried in this order, each as a prefix of the line: the first that matches
// wins, which is why "addjars" stands before "addjar".
#define TEXT_FIELD(name) false, offsetof(LaunchSettings, name), nullptr
#define LIST_FIELD(name) true, offsetof(LaunchSettings, name), nullptr
#define ACTION(function) false, 0, function
static const ConfigKey kConfigKeys[] = {
    {"vmparam", kExpandQuoted, LIST_FIELD(vmparam)},
    {"javapath", kExpandQuoted, TEXT_FIELD(javapath)},
    {"addpath", kExpandQuoted, LIST_FIELD(vmpath)},
    {"mainclass", kExpandUnquoted, TEXT_FIELD(mainclass)},
    {"appname", kExpandUnquoted, TEXT_FIELD(appname)},
    {"javaVersion", kExpandUnquoted, ACTION(locateJavaForVersion)},
    {"addjars", kExpandQuoted, ACTION(addJarDirectory)},
    {"argument", kAsWritten, LIST_FIELD(arguments)},
    {"addjar", kExpandQuoted, LIST_FIELD(vmpath)},
    {"include", kExpandUnquoted, ACTION(includeFile)},
    {"consoleTitle", kExpandQuoted, TEXT_FIELD(consoleTitle)},
    // The Java search; none of these is a prefix of a key above, nor the reverse.
    {"minJava", kExpandUnquoted, TEXT_FIELD(minJava)},
    {"maxJava", kExpandUnquoted, TEXT_FIELD(maxJava)},
    {"javaBits", kExpandUnquoted, TEXT_FIELD(javaBits)},
    {"javaHome", kExpandUnquoted, LIST_FIELD(javaHome)},
    {"downloadPage", kExpandUnquoted, TEXT_FIELD(downloadPage)},
    // No key above is a prefix of this one, nor it of one above.
    {"singleInstance", kExpandUnquoted, ACTION(setSingleInstanceName)},
};

static void applyKey(const ConfigKey* key, const char* value) {
  if (key->action) {
    key->action(value);
    return;
  }
  char* field = reinterpret_cast<char*>(&settings) + key->fieldOffset;
  if (key->isList)
    appendSetting(reinterpret_cast<TextList*>(field), value);
  else
    setSetting(reinterpret_cast<char**>(field), value);
}

static const ConfigKey* findConfigKey(const char* line) {
  for (const ConfigKey& key : kConfigKeys)
    if (textStartsWith(line, key.key)) return &key;
  return nullptr;
}

// What each file being read holds, outermost first. Including one of them
// again would never end, so that is refused, and so is nesting deeper than
// kMaxIncludeDepth (which also ends cycles the paths do not reveal).
struct OpenConfigFile {
  char* fullPath;  // NULL when it could not be formed
  FileHandle file;
  TextBuffer line;
  char* value;  // the expanded value of the line being applied
};
static OpenConfigFile openFiles[kMaxIncludeDepth + 1];
static int openFileCount;
// A file that cannot be read to its end leaves the configuration incomplete:
// no further line of any file is applied, and the read fails.
static bool readFailed;

static void applyLine(OpenConfigFile* reading) {
  const char* line = reading->line.data;
  if (line[0] == '\0' || line[0] == '#' || line[0] == '/') return;
  const char* blank = strchr(line, ' ');
  if (!blank) return;
  const ConfigKey* key = findConfigKey(line);
  if (!key) return;
  const char* value = blank + 1;
  if (key->treatment == kAsWritten) {
    applyKey(key, value);
    return;
  }
  reading->value = parsePath(value, key->treatment == kExpandQuoted);
  applyKey(key, reading->value);
  releaseMemory(reading->value);
  reading->value = nullptr;
}

static void closeOpenFile(OpenConfigFile* reading) {
  releaseMemory(reading->fullPath);
  releaseMemory(reading->value);
  textFree(&reading->line);
  platform.closeFile(reading->file);
  *reading = OpenConfigFile{};
}

static int readFile(const char* path) {
  debugMessage("Reading Config file", "%s", path);
  const char* errorText = "";
  FileHandle file = platform.openFile(path, &errorText);
  if (!file) {
    errorLine("Can't open %s Error %s\n", path, errorText);
    return 1;
  }
  OpenConfigFile* reading = &openFiles[openFileCount++];
  *reading = OpenConfigFile{platform.absolutePath(path), file, {}, nullptr};
  LineReader reader;
  startLineReader(&reader, file);
  while (!readFailed && readLine(&reader, &reading->line)) applyLine(reading);
  finishLineReader(&reader);
  if (reader.failed) {
    errorLine("Can't read %s\n", path);
    readFailed = true;
  }
  closeOpenFile(reading);
  --openFileCount;
  return 0;
}

static bool isBeingRead(const char* path) {
  char* fullPath = platform.absolutePath(path);
  bool found = false;
  for (int i = 0; fullPath && i < openFileCount && !found; ++i)
    found = openFiles[i].fullPath && platform.pathsEqual(openFiles[i].fullPath, fullPath);
  releaseMemory(fullPath);
  return found;
}

static void includeFile(const char* path) {
  if (isBeingRead(path)) {
    errorLine("Can't include %s: it is already being read\n", path);
    return;
  }
  if (openFileCount > kMaxIncludeDepth) {
    errorLine("Can't include %s: includes nested more than %d deep\n", path, kMaxIncludeDepth);
    return;
  }
  readFile(path);  // an unopenable include only writes its error line
}

// An exit (status 5 or 11) ends the process in the middle of a read, leaving
// its files open here. Only a caller that catches the exit and goes on (the
// tests do) ever reads again; the abandoned files are closed first.
int readConfigFile(const char* path) {
  while (openFileCount > 0) closeOpenFile(&openFiles[--openFileCount]);
  readFailed = false;
  int result = readFile(path);
  return readFailed ? 1 : result;
}
