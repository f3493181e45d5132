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
  char* javapath;      // Java executable as it stands first on the command line
  char* mainclass;
  char* appname;
  char* javaVersion;   // requested runtime version
  char* consoleTitle;  // title handed to the started process
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
  // The console launcher (launcherc.exe), for command-line tools: set by its
  // entry before anything else. It never shows a box, leaves standard output
  // to Java, starts java.exe and ends with Java's own exit status.
  bool console;
  // The version the Java search read for the Java it chose (NULL when it
  // chose none or read none): it tells whether that Java takes an argument file.
  char* javaRuntimeVersion;
  // The kernel object's name (Local\...) that marks the running instance
  // of a "singleInstance" application; NULL without the key.
  char* singleInstance;
};

extern LaunchSettings settings;

// Replaces a scalar by a copy of value. The earlier copy is released.
void setSetting(char** field, const char* value);
// Appends a copy of value at the end of the list.
void appendSetting(TextList* list, const char* value);

// Takes a text that lives until the process ends without belonging to the
// record (the configuration path, the command line) and returns it. Held
// here, such texts stay reachable instead of being dropped unreferenced.
char* keepUntilExit(char* text);

// Back to the initial state (all absent, lists empty, debug and console off), releasing
// every text, the kept ones included. The launcher itself never needs it; tests do.
void resetLaunchSettings(void);

#endif
