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
  // Java expands a '*' or '?' in a program argument that reaches it unquoted
  // into the names of matching files. These arguments reach it in quotes:
  // one its caller quoted, and one whose wildcards the code page made. By
  // their place in arguments, for the first quotedArgumentCount places.
  bool* quotedArguments;
  int quotedArgumentCount;
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
  // Restarts and staged updates; absent, Java runs once, as it always did.
  TextList restartCodes;    // "restartCode" lines: Java's statuses that ask for a restart
  char* restartOnFailure;   // how many restarts in a row after a failure, as written
  char* updateDirectory;    // where a staged update waits, relative to the exe's folder
  // How many of the arguments came from the command line: a configuration
  // read again keeps them, and only them.
  int commandLineArguments;
  // Java's log (the GUI launcher's): the file, and "javaLogSize" and
  // "javaLogKeep" as written; NULL without the keys.
  char* javaLog;
  char* javaLogSize;
  char* javaLogKeep;
  // The console launcher works in its caller's directory: relative paths of
  // its configuration's files and directories are taken from the exe's own.
  bool pathsFromProgramDirectory;
};

extern LaunchSettings settings;

// Replaces a scalar by a copy of value. The earlier copy is released.
void setSetting(char** field, const char* value);
// Appends a copy of value at the end of the list.
void appendSetting(TextList* list, const char* value);
// Releases the list's texts and empties it.
void clearTextList(TextList* list);

// Has the program argument at index reach Java in quotes; argumentQuoted
// tells whether it does.
void quoteArgument(int index);
bool argumentQuoted(int index);

// Sets the Java executable: a copy of path, quoted on the command line when
// quoted is true.
void setJavapath(const char* path, bool quoted);

// Back to the initial state (all absent, lists empty, flags off), releasing
// every text. The launcher itself never needs it; tests do.
void resetLaunchSettings(void);

// Forgets what the configuration set, for a read of it anew: keeps -d, the
// choice of java.exe and the command line's arguments.
void resetConfiguredSettings(void);

#endif
