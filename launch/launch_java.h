#ifndef CORVANE_LAUNCH_LAUNCH_JAVA_H
#define CORVANE_LAUNCH_LAUNCH_JAVA_H

// The longest command line CreateProcessW takes: 32767 UTF-16 units with the
// terminating NUL.
enum { kMaxCommandLineLength = 32766 };

// How the launch step ended: Java ran, or why no Java was started.
enum LaunchEnd {
  kJavaRan,          // Java's exit code is known
  kNoJavaChosen,     // no Java command: whoever chose none has told why
  kJavaRefused,      // no main class, a path Java could not be given, a line too long
  kJavaStartFailed,  // the system could not start it
};

// Starts settings.javapath with the command line built from the settings,
// waits for the process to end, and reports a non-zero exit code (the GUI
// launcher only). *exitCode is Java's exit code once it ran. Every reason for
// starting nothing is reported here, except a missing main class (the main
// sequence checks for one first and says so) and a missing Java command
// (whoever chose none has said why): a path Java could not be given (see
// spellable_paths.h), a command line too long, a failed start. A command
// line too long for Windows is started through an argument file when the
// check says that the Java takes one.
LaunchEnd launchJava(unsigned long* exitCode);

// Whether the Java about to start takes an argument file. The launch knows
// nothing of Java versions; the main sequence supplies the check
// (javaTakesArgumentFile). Without one, every line too long is refused.
typedef bool (*ArgumentFileCheck)(void);
void setArgumentFileCheck(ArgumentFileCheck check);

#endif
