// The one process-wide record that the command line and the configuration
// files fill and the launch reads.
#ifndef CORVANE_COMMON_LAUNCH_SETTINGS_H
#define CORVANE_COMMON_LAUNCH_SETTINGS_H

// An ordered list of owned texts. It only ever grows at its end; it has no
// fixed capacity, so no entry is lost however many lines a file holds.
struct TextList {
  char** items;
  int count;
  int capacity;
};

struct LaunchSettings {
  // The Java executable: as a "javapath" line wrote it (quotes and all), or
  // the path the registry or the search located.
  char* javapath;
  // A located path with a blank: the command line gives it in quotes.
  bool javapathQuoted;
  char* mainclass;
  char* appname;
  char* javaVersion;   // requested runtime version
  char* consoleTitle;  // title handed to the started process
  // The taskbar identity (AppUserModelID) of Java's windows; it takes the
  // place of consoleTitle in the startup record.
  char* appUserModelId;
  TextList vmparam;    // JVM options
  TextList vmpath;     // class-path entries from "addpath" and "addjar"
  TextList vmjars;     // jar files found by "addjars"
  TextList arguments;  // program arguments: command line first, then "argument" lines
  // The Java search: any of the first four turns it on, even with an empty value.
  char* minJava;       // lowest acceptable Java version, as written
  char* maxJava;       // highest acceptable Java version, as written
  char* javaBits;      // "32" or "64": only runtimes of that kind
  TextList javaHome;   // candidate Java homes tried before the registry, in file order
  char* downloadPage;  // the page every download prompt offers, replacing the built-in ones
  bool debug;
  // java.exe, whose console shows Java's own output, instead of javaw.exe:
  // in debug mode and in the console launcher.
  bool consoleJava;
  // The version the Java search read for the Java it chose (NULL when it
  // chose none or read none): it tells whether that Java takes an argument file.
  char* javaRuntimeVersion;
  // The kernel object's name (Local\...) that marks the running instance
  // of a "singleInstance" application; NULL without the key.
  char* singleInstance;
  // The console launcher works in its caller's directory: relative paths of
  // its configuration's files and directories are taken from the exe's own.
  bool pathsFromProgramDirectory;
};

extern LaunchSettings settings;

// Replaces a scalar by a copy of value. The earlier copy is released.
void setSetting(char** field, const char* value);
// Appends a copy of value at the end of the list.
void appendSetting(TextList* list, const char* value);

// Sets the Java executable: a copy of path, quoted on the command line when
// quoted is true.
void setJavapath(const char* path, bool quoted);

// Back to the initial state (all absent, lists empty, flags off), releasing
// every text. The launcher itself never needs it; tests do.
void resetLaunchSettings(void);

#endif
