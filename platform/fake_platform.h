// An in-memory platform for the host tests: files, directories, environment,
// registry, message boxes, processes and the standard streams, all scripted
// and recorded. Paths are Windows paths; the fake resolves relative ones
// against its current directory and compares them without regard to case.
// Its ANSI code page is Latin-1: bytes 0x00-0xFF are U+0000-U+00FF, and no
// other character can be spelled.
#ifndef CORVANE_PLATFORM_FAKE_PLATFORM_H
#define CORVANE_PLATFORM_FAKE_PLATFORM_H

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

struct FakeMessageBox {
  std::string text;
  std::string caption;
  unsigned style;
};

struct FakeProcess {
  std::string commandLine;
  bool hasTitle;
  std::string title;
  bool waitedForInputIdle;
  unsigned long idleMilliseconds;
  bool waitedForExit;
  // Java's start: held at first (suspended) until resumed, in a job or not.
  bool suspended;
  bool resumed;
  int job;  // the job's number (from 1) in FakeState::jobs; 0 for none
  bool closed;
  unsigned long id;
};

struct FakeJob {
  unsigned long limitFlags;
  bool closed;
};

// A named instance mark that some launcher holds: another one when the test
// put it there, this one when it claimed it.
struct FakeInstance {
  unsigned long processId;  // 0 until its holder published one
};

struct FakeDirectoryEntry {
  std::string name;
  bool isDirectory;
};

struct FakeRegistryValue {
  std::string name;
  unsigned long type;  // kRegistryType...
  std::string data;  // the bytes as stored, a terminating NUL included or not
};

struct FakeRegistryKey {
  std::vector<std::string> subkeys;  // in enumeration order
  std::vector<FakeRegistryValue> values;
};

// One tree of keys, by lower-case key path.
typedef std::map<std::string, FakeRegistryKey> FakeRegistryTree;
enum FakeRegistryTreeView { kFakeTree32Bit, kFakeTree64Bit };

struct FakeState {
  std::string currentDirectory = "C:\\Work";
  bool currentDirectoryReadable = true;
  std::vector<std::string> directoryChanges;

  std::map<std::string, std::string> files;  // by normalized path
  std::map<std::string, std::vector<FakeDirectoryEntry>> directories;  // in listing order
  std::vector<std::pair<std::string, std::string>> environment;

  // One tree per hive and per view. Which view is the program's own follows
  // from the kind of program; a Windows without a 64-bit view has only the
  // 32-bit trees, and every view reads them.
  FakeRegistryTree registry[2][2];  // [RegistryHive][FakeRegistryTreeView]
  bool program64Bit = false;
  bool windowsHas64BitView = true;
  int registryCalls = 0;
  int failRegistryCall = 0;  // the Nth registry call (from 1) fails; 0 for none
  int openRegistryKeys = 0;
  // Keys (lower-case paths, in every tree) that exist but cannot be opened,
  // as when their access list denies reading; the keys below them still open.
  std::vector<std::string> unreadableRegistryKeys;

  std::vector<FakeMessageBox> boxes;
  std::deque<int> answers;  // scripted; when empty, OK boxes answer OK and Yes/No boxes:
  int yesNoAnswer = kAnswerNo;

  std::vector<FakeProcess> processes;
  std::deque<unsigned long> exitCodes;  // scripted; 0 when empty
  std::deque<unsigned long> startErrors;  // each entry makes one start fail with that code (0 too)

  // Short (8.3) forms by normalized path; an existing file or folder without
  // one answers with its own path, as every one does when the volume has none.
  std::map<std::string, std::string> shortPaths;
  bool volumeHasShortNames = true;

  int openFiles = 0;
  std::string output;
  std::string error;

  std::string programPath = "C:\\Work\\launcher.exe";  // empty: it cannot be read

  // The console launcher: how many programs had been started when the
  // launcher made Ctrl+C and Ctrl+Break pass it by; -1 when it never did.
  int interruptsOutlivedAfter = -1;
  // Java's job, and the order of the operations on processes, jobs and
  // files and instances: "create job 1", "start suspended 1", "assign 1 to
  // job 1", "resume 1", "close process 1", "close job 1" (jobs and processes
  // numbered from 1 in the order made), "write <path>", "remove <path>",
  // "claim <name>", "publish <process id>", "release <name>".
  std::vector<FakeJob> jobs;
  std::vector<std::string> events;
  unsigned long jobCreationError = 0;    // not 0: no job can be made, with this error
  unsigned long jobAssignmentError = 0;  // not 0: no process can be put into a job

  // Temporary files are written as <temporaryDirectory>\jva<n>.tmp, n from 1,
  // in the ANSI code page (a character it lacks becomes '?'), and kept in
  // files; writtenFiles keeps what each held, by its path, after its removal too.
  std::string temporaryDirectory = "C:\\Users\\User\\AppData\\Local\\Temp";
  int temporaryFiles = 0;
  std::map<std::string, std::string> writtenFiles;
  unsigned long temporaryFileError = 0;  // not 0: no temporary file can be written

  std::map<std::string, FakeInstance> instances;  // held marks, by object name
  bool instanceClaimFails = false;
  std::vector<unsigned long> windowsBroughtForward;  // the process of each call
};

// Clears the state and points the platform table at the fake.
void installFakePlatform();
FakeState& fake();

void fakeAddFile(const std::string& path, const std::string& content);
// Adds a directory listing entry (and the directory itself when new).
void fakeAddDirectoryEntry(const std::string& directory, const std::string& name,
                           bool isDirectory = false);
void fakeSetEnvironment(const std::string& name, const std::string& value);
// The short form that the file or folder at path (which must exist to have
// one) is given.
void fakeSetShortPath(const std::string& path, const std::string& shortForm);

// Each registry helper comes twice: with a hive and a view, and without them
// for HKLM in the program's own view.

// Creates the key (and its parents, each listed in its parent's subkeys in
// order of creation).
void fakeAddRegistryKey(RegistryHive hive, RegistryView view, const std::string& path);
void fakeAddRegistryKey(const std::string& path);
// Makes the key's subkeys exactly these names, in enumeration order, without
// creating keys for them: any name, even one no registry key could have.
void fakeSetRegistrySubkeys(RegistryHive hive, RegistryView view, const std::string& path,
                            const std::vector<std::string>& names);
void fakeSetRegistrySubkeys(const std::string& path, const std::vector<std::string>& names);
// Sets a text value (kRegistryTypeText) of an existing or new key; withNul
// adds the terminating NUL.
void fakeSetRegistryValue(RegistryHive hive, RegistryView view, const std::string& path,
                          const std::string& name, const std::string& value, bool withNul = true);
void fakeSetRegistryValue(const std::string& path, const std::string& name,
                          const std::string& value, bool withNul = true);
// Sets a kRegistryTypeDword value, stored as Windows stores it.
void fakeSetRegistryDword(RegistryHive hive, RegistryView view, const std::string& path,
                          const std::string& name, unsigned long value);

struct ExitResult {
  bool exited;  // the code under test ended the process
  int status;
};
// Runs body; an endProcess inside it comes back here as {true, status}.
// The way back is a longjmp: objects that body itself owns are not destroyed,
// so whatever must outlive the exit is made before the call.
ExitResult runCatchingExit(const std::function<void()>& body);

#endif
