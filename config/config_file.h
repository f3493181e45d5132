// The configuration file reader: applies each line to the settings at once.
// A "javaVersion" line stops the read where it stands: its caller looks the
// version up (the reader knows nothing of where runtimes are registered),
// then goes on reading or gives the read up.
#ifndef CORVANE_CONFIG_CONFIG_FILE_H
#define CORVANE_CONFIG_CONFIG_FILE_H

// One launcher's own key (the service's): the start of its lines, and the
// action its value, expanded without quoting, is given to.
typedef void (*LauncherKeyAction)(const char* value);
struct LauncherKey {
  const char* key;
  LauncherKeyAction action;
};

// Adds keys after the common ones, for one launcher's own settings: each
// must be no prefix of a common key, nor one of them a prefix of it.
void addConfigKeys(const LauncherKey* keys, int count);

// How deeply "include" lines may nest before the reader refuses to go on.
enum { kMaxIncludeDepth = 32 };

struct OpenConfigFile;

// The files being read, outermost first, between a stop at a "javaVersion"
// line and the read going on. Its caller owns it; a read that ends (whole or
// not) leaves nothing open in it.
struct ConfigReading {
  OpenConfigFile* files[kMaxIncludeDepth + 1];
  int count;
  // A file that could not be read to its end leaves the configuration
  // incomplete: no further line of any file is applied, and the read fails.
  bool readFailed;
};

enum ConfigRead {
  kConfigReadWhole,      // the file was opened (an include that could not be is only skipped)
  kConfigUnreadable,     // it could not be opened, or it or an include could not be read to its end
  kConfigAtJavaVersion,  // a "javaVersion" line set settings.javaVersion: look it up, then go on
};

// Starts reading the file at path into the settings.
ConfigRead readConfigFile(ConfigReading* reading, const char* path);
// Goes on after a stop at a "javaVersion" line.
ConfigRead continueConfigRead(ConfigReading* reading);
// Gives a stopped read up, closing what it holds open.
void abandonConfigRead(ConfigReading* reading);

#endif
