#include "config/config_file.h"

#include <stddef.h>
#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "config/instance_name.h"
#include "config/jar_scan.h"
#include "config/line_reader.h"
#include "config/parse_path.h"
#include "platform/platform.h"

// How a key's value is read: $NAME expanded with or without quoting (see
// parsePath), or as written. A path is expanded too, then, where the
// settings say so, taken from the exe's directory when it is relative.
enum ValueTreatment : unsigned char {
  kExpandQuoted,
  kExpandUnquoted,
  kAsWritten,
  kPathQuoted,
  kPathUnquoted,
};

// What a key does with its value: stores it in the settings field at
// fieldOffset (a text it replaces or a list it extends), runs the action that
// fieldOffset numbers in kKeyActions, reads another file in place, or stops
// the read for a Java version lookup.
enum KeyEffect : unsigned char {
  kStoreText,
  kAppendToList,
  kRunAction,
  kInclude,
  kStopForJavaVersion,
};

struct ConfigKey {
  const char* key;
  ValueTreatment treatment;
  KeyEffect effect;
  unsigned short fieldOffset;
};

struct OpenConfigFile {
  char* path;      // as the configuration named it, for its error line
  char* fullPath;  // NULL when it could not be formed
  FileHandle file;
  LineReader reader;
  TextBuffer line;
};

// The full path of a relative one where the console launcher reads the
// configuration (it works in its caller's directory); NULL where the value
// stays as written. An empty value stays empty.
static char* fullPathOf(const char* value) {
  return settings.pathsFromProgramDirectory && *value ? pathInProgramDirectory(value) : nullptr;
}

// A javapath made full is quoted when it holds a blank, so that Windows does
// not try its first word as a program.
static void setJavapathAsWritten(const char* value) {
  char* full = fullPathOf(value);
  setJavapath(full ? full : value, full && full[0] != '"' && strchr(full, ' '));
  releaseMemory(full);
}

// The keys' actions, numbered; a table of them, not a pointer in each key,
// keeps the key table small.
typedef void (*KeyAction)(const char* value);
static const KeyAction kKeyActions[] = {setJavapathAsWritten, addJarDirectory, setSingleInstanceName};
enum { kSetJavapath, kAddJars, kSetSingleInstance };

// Tried in this order, each as a prefix of the line: the first that matches
// wins, which is why "addjars" stands before "addjar".
#define TEXT_FIELD(name) kStoreText, offsetof(LaunchSettings, name)
#define LIST_FIELD(name) kAppendToList, offsetof(LaunchSettings, name)
#define ACTION(number) kRunAction, number
static const ConfigKey kConfigKeys[] = {
    {"vmparam", kExpandQuoted, LIST_FIELD(vmparam)},
    {"javapath", kExpandQuoted, ACTION(kSetJavapath)},
    {"addpath", kPathQuoted, LIST_FIELD(vmpath)},
    {"mainclass", kExpandUnquoted, TEXT_FIELD(mainclass)},
    {"appname", kExpandUnquoted, TEXT_FIELD(appname)},
    // The Java executable is located while the line is read, so that a later
    // "javapath" line overrides it and a later "javaVersion" line locates again.
    {"javaVersion", kExpandUnquoted, kStopForJavaVersion, offsetof(LaunchSettings, javaVersion)},
    {"addjars", kPathQuoted, ACTION(kAddJars)},
    {"argument", kAsWritten, LIST_FIELD(arguments)},
    {"addjar", kPathQuoted, LIST_FIELD(vmpath)},
    {"include", kPathUnquoted, kInclude, 0},
    {"consoleTitle", kExpandQuoted, TEXT_FIELD(consoleTitle)},
    // The Java search; none of these is a prefix of a key above, nor the reverse.
    {"minJava", kExpandUnquoted, TEXT_FIELD(minJava)},
    {"maxJava", kExpandUnquoted, TEXT_FIELD(maxJava)},
    {"javaBits", kExpandUnquoted, TEXT_FIELD(javaBits)},
    {"javaHome", kExpandUnquoted, LIST_FIELD(javaHome)},
    {"downloadPage", kExpandUnquoted, TEXT_FIELD(downloadPage)},
    // No key above is a prefix of this one, nor it of one above.
    {"singleInstance", kExpandUnquoted, ACTION(kSetSingleInstance)},
    // Restarts and staged updates: no key above is a prefix of these, nor they of one.
    {"restartCode", kExpandUnquoted, LIST_FIELD(restartCodes)},
    {"restartOnFailure", kExpandUnquoted, TEXT_FIELD(restartOnFailure)},
    {"updateDirectory", kExpandUnquoted, TEXT_FIELD(updateDirectory)},
    // Java's log: the two longer keys stand before "javaLog", a prefix of both.
    {"javaLogSize", kExpandUnquoted, TEXT_FIELD(javaLogSize)},
    {"javaLogKeep", kExpandUnquoted, TEXT_FIELD(javaLogKeep)},
    {"javaLog", kExpandUnquoted, TEXT_FIELD(javaLog)},
    // Nor is any key above a prefix of this one, nor it of one above.
    {"appUserModelId", kAsWritten, TEXT_FIELD(appUserModelId)},
};

// Keys of one launcher alone (the service's), tried after the table above.
static const LauncherKey* addedKeys;
static int addedKeyCount;

void addConfigKeys(const LauncherKey* keys, int count) {
  addedKeys = keys;
  addedKeyCount = count;
}

static const ConfigKey* findConfigKey(const char* line) {
  for (const ConfigKey& key : kConfigKeys)
    if (textStartsWith(line, key.key)) return &key;
  return nullptr;
}

static const LauncherKey* findLauncherKey(const char* line) {
  for (int i = 0; i < addedKeyCount; ++i)
    if (textStartsWith(line, addedKeys[i].key)) return &addedKeys[i];
  return nullptr;
}

static void applyLauncherKey(const LauncherKey* key, const char* written) {
  char* value = parsePath(written, false);
  key->action(value);
  releaseMemory(value);
}

static void openConfigFile(ConfigReading* reading, const char* path) {
  debugMessage("Reading Config file", "%s", path);
  const char* errorText = "";
  FileHandle file = platform.openFile(path, &errorText);
  if (!file) {
    errorLine("Can't open %s Error %s\n", path, errorText);
    return;
  }
  OpenConfigFile* opened = static_cast<OpenConfigFile*>(allocateOrDie(sizeof(OpenConfigFile)));
  *opened = OpenConfigFile{copyText(path), platform.absolutePath(path), file, {}, {}};
  startLineReader(&opened->reader, file);
  reading->files[reading->count++] = opened;
}

static void closeInnermostFile(ConfigReading* reading) {
  OpenConfigFile* innermost = reading->files[--reading->count];
  releaseMemory(innermost->path);
  releaseMemory(innermost->fullPath);
  textFree(&innermost->line);
  finishLineReader(&innermost->reader);
  platform.closeFile(innermost->file);
  releaseMemory(innermost);
}

static bool isBeingRead(const ConfigReading* reading, const char* path) {
  char* fullPath = platform.absolutePath(path);
  bool found = false;
  for (int i = 0; fullPath && i < reading->count && !found; ++i)
    found = reading->files[i]->fullPath &&
            platform.pathsEqual(reading->files[i]->fullPath, fullPath);
  releaseMemory(fullPath);
  return found;
}

// Including a file being read would never end, so that is refused, and so
// is nesting deeper than kMaxIncludeDepth (which also ends cycles the paths
// do not reveal). An include that cannot be opened only writes its error line.
static void includeFile(ConfigReading* reading, const char* path) {
  if (isBeingRead(reading, path)) {
    errorLine("Can't include %s: it is already being read\n", path);
    return;
  }
  if (reading->count > kMaxIncludeDepth) {
    errorLine("Can't include %s: includes nested more than %d deep\n", path, kMaxIncludeDepth);
    return;
  }
  openConfigFile(reading, path);
}

// True when the line asks for the read to stop for a Java version lookup.
static bool applyKey(ConfigReading* reading, const ConfigKey* key, const char* value) {
  char* field = reinterpret_cast<char*>(&settings) + key->fieldOffset;
  switch (key->effect) {
    case kStoreText:
    case kStopForJavaVersion:
      setSetting(reinterpret_cast<char**>(field), value);
      break;
    case kAppendToList:
      appendSetting(reinterpret_cast<TextList*>(field), value);
      break;
    case kRunAction:
      kKeyActions[key->fieldOffset](value);
      break;
    case kInclude:
      includeFile(reading, value);
      break;
  }
  return key->effect == kStopForJavaVersion;
}

static bool applyLine(ConfigReading* reading, const char* line) {
  if (line[0] == '\0' || line[0] == '#' || line[0] == '/') return false;
  const char* blank = strchr(line, ' ');
  if (!blank) return false;
  const ConfigKey* key = findConfigKey(line);
  if (!key) {
    const LauncherKey* own = findLauncherKey(line);
    if (own) applyLauncherKey(own, blank + 1);
    return false;
  }
  if (key->treatment == kAsWritten) return applyKey(reading, key, blank + 1);
  bool quoting = key->treatment == kExpandQuoted || key->treatment == kPathQuoted;
  char* value = parsePath(blank + 1, quoting);
  char* full = key->treatment >= kPathQuoted ? fullPathOf(value) : nullptr;
  bool stops = applyKey(reading, key, full ? full : value);
  releaseMemory(full);
  releaseMemory(value);
  return stops;
}

// Reads the innermost file's next line, until every file has ended or a line
// stops the read.
ConfigRead continueConfigRead(ConfigReading* reading) {
  while (reading->count > 0) {
    OpenConfigFile* innermost = reading->files[reading->count - 1];
    if (!reading->readFailed && readLine(&innermost->reader, &innermost->line)) {
      if (applyLine(reading, innermost->line.data)) return kConfigAtJavaVersion;
      continue;
    }
    if (innermost->reader.failed) {
      errorLine("Can't read %s\n", innermost->path);
      reading->readFailed = true;
    }
    closeInnermostFile(reading);
  }
  return reading->readFailed ? kConfigUnreadable : kConfigReadWhole;
}

ConfigRead readConfigFile(ConfigReading* reading, const char* path) {
  *reading = ConfigReading{};
  openConfigFile(reading, path);
  if (reading->count == 0) return kConfigUnreadable;
  return continueConfigRead(reading);
}

void abandonConfigRead(ConfigReading* reading) {
  while (reading->count > 0) closeInnermostFile(reading);
}
