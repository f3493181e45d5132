// An in-memory platform for the host tests: files, directories, environment,
// registry, message boxes, processes, the standard streams and memory, all
// scripted and recorded, and any entry made to fail on demand (see Faults).
// Paths are Windows paths; the fake resolves relative ones against its
// current directory and compares them without regard to case (ASCII letters
// only, but for pathsEqual). Its ANSI code page is Latin-1: bytes 0x00-0xFF
// are U+0000-U+00FF, and no other character can be spelled.
#ifndef CORVANE_PLATFORM_FAKE_PLATFORM_H
#define CORVANE_PLATFORM_FAKE_PLATFORM_H

#include <stddef.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fake_service_platform.h"
#include "platform/platform.h"

struct FakeMessageBox {
  std::string text;
  std::string caption;
  unsigned style;
};

struct FakeProcess {
  std::string commandLine;
  bool started;  // false when the start failed
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
  bool terminated;  // ended by the service launcher (exit code 1)
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
  std::string data;  // the bytes as stored, a terminating NUL included or not
};

struct FakeRegistryKey {
  std::vector<std::string> subkeys;  // in enumeration order
  std::vector<FakeRegistryValue> values;
};

// One tree of keys, by lower-case key path.
typedef std::map<std::string, FakeRegistryKey> FakeRegistryTree;
enum FakeRegistryTreeView { kFakeTree32Bit, kFakeTree64Bit };

// Entries of the table by FAKE_ENTRY; an empty list stands for every entry.
typedef std::vector<size_t> FakeEntries;

// Makes calls of some entries fail (see fakeFailCall).
struct FakeFault {
  FakeEntries entries;  // the entries whose calls count
  int call;             // the call, from 1, counted over those entries, that fails
  bool onward;          // every later call fails too
  int seen;             // calls counted so far
};

struct FakeState {
  std::string currentDirectory = "C:\\Work";
  std::vector<std::string> directoryChanges;  // every change asked for, whether it was made or not

  std::map<std::string, std::string> files;  // by normalized path
  std::map<std::string, std::vector<FakeDirectoryEntry>> directories;  // in listing order
  std::vector<std::pair<std::string, std::string>> environment;

  // HKLM keeps one tree per view. Which view is the program's own follows
  // from the kind of program; a Windows without a 64-bit view has only the
  // 32-bit tree, and every view reads it. HKCU keeps one tree, which every
  // view reads, as Windows 7 and later keep HKCU\Software.
  FakeRegistryTree machineRegistry[2];  // [FakeRegistryTreeView]
  FakeRegistryTree userRegistry;
  bool program64Bit = false;
  bool windowsHas64BitView = true;
  int openRegistryKeys = 0;
  // Keys (lower-case paths, in every tree) that exist but cannot be opened,
  // as when their access list denies reading; the keys below them still open.
  std::vector<std::string> unreadableRegistryKeys;

  std::vector<FakeMessageBox> boxes;
  std::deque<int> answers;  // scripted; when empty, OK boxes answer OK and Yes/No boxes:
  int yesNoAnswer = kAnswerNo;

  std::vector<FakeProcess> processes;  // every start asked for, whether it started or not
  std::deque<unsigned long> exitCodes;  // scripted; 0 when empty
  unsigned long startErrorCode = 5;  // what a failing start reports (ERROR_ACCESS_DENIED)
  int openProcesses = 0;

  // Short (8.3) forms by normalized path; an existing file or folder without
  // one answers with its own path, as every one does when the volume has none.
  std::map<std::string, std::string> shortPaths;
  bool volumeHasShortNames = true;

  // What is open now: files, listings, registry keys, process handles (above),
  // jobs, threads and instance marks (below) are counted as they are opened
  // and closed.
  int openFiles = 0;
  int openListings = 0;
  std::string output;
  std::string error;

  std::string programPath = "C:\\Work\\launcher.exe";

  // The console launcher: how many programs had been started when the
  // launcher made Ctrl+C and Ctrl+Break pass it by; -1 when it never did.
  int interruptsOutlivedAfter = -1;
  // Java's job, and the order of the operations on processes, jobs and
  // files and instances: "create job 1", "start suspended 1", "assign 1 to
  // job 1", "resume 1", "close process 1", "close job 1" (jobs and processes
  // numbered from 1 by their place in jobs and processes), "write <path>",
  // "remove <path>", "claim <name>", "publish <process id>", "release <name>".
  // A job that cannot be made, or a process that cannot be put into one,
  // fails with ERROR_ACCESS_DENIED (5).
  std::vector<FakeJob> jobs;
  std::vector<std::string> events;
  int openJobs = 0;
  int openThreads = 0;  // a suspended process's thread, until resumeThread

  // Temporary files are written as <temporaryDirectory>\jva<n>.tmp, n from 1,
  // in the ANSI code page (a character it lacks becomes '?'), and kept in
  // files; writtenFiles keeps what each held, by its path, after its removal
  // too. A file that cannot be written fails with ERROR_DISK_FULL (112).
  std::string temporaryDirectory = "C:\\Users\\User\\AppData\\Local\\Temp";
  int temporaryFiles = 0;
  std::map<std::string, std::string> writtenFiles;

  std::map<std::string, FakeInstance> instances;  // held marks, by object name
  int openInstanceMarks = 0;  // the marks this launcher claimed and has not released
  std::vector<unsigned long> windowsBroughtForward;  // the process of each call

  // The service launcher's world (fake_service_platform.h). Its operations
  // also go into events: "open console", "interrupt", "terminate job 1",
  // "terminate process 1", "report <state> <checkpoint>".
  FakeServiceWorld service;

  std::vector<FakeFault> faults;
  // Calls of the entries that can fail: how many each had (by FAKE_ENTRY or
  // FAKE_SERVICE_ENTRY over the size of an entry), and the name of each that
  // a fault struck, in order.
  int callsByEntry[(sizeof(PlatformOps) + sizeof(ServicePlatformOps)) / sizeof(void (*)())] = {};
  std::vector<const char*> failedCalls;
};

// Clears the state and points the platform table at the fake.
void installFakePlatform();
FakeState& fake();

void fakeAddFile(const std::string& path, const std::string& content);
// True when a file is at path, written in full or in a short form it was given.
bool fakeHasFile(const std::string& path);
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
// Sets a text value of an existing or new key; withNul adds the terminating NUL.
void fakeSetRegistryValue(RegistryHive hive, RegistryView view, const std::string& path,
                          const std::string& name, const std::string& value, bool withNul = true);
void fakeSetRegistryValue(const std::string& path, const std::string& name,
                          const std::string& value, bool withNul = true);

// Faults. Every entry can fail as the real call fails: a NULL, false, an
// error code, a read error, an empty or cut listing, a box that is not shown,
// a text that is not written, a process id not published, windows not
// brought forward, interrupts that still end the launcher; allocate and
// reallocate give NULL. Only what Windows does not let fail, or what no
// caller could see fail, cannot: the closes (of files, listings, keys,
// processes, jobs and instance marks), resumeThread, release and
// exitProcess. An entry is named by its place in the table.
#define FAKE_ENTRY(name) offsetof(PlatformOps, name)
extern const FakeEntries kFakeEveryEntry;     // every entry that can fail
extern const FakeEntries kFakeSystemEntries;  // every entry but the memory ones
extern const FakeEntries kFakeRegistryEntries;  // the registry's reads and opens
extern const FakeEntries kFakeServiceEntries;   // every entry of the service table

// The call-th call (from 1) counted over the entries fails, once; from
// fakeFailCallsFrom on, that one and every later one. Faults add up.
void fakeFailCall(const FakeEntries& entries, int call);
void fakeFailCallsFrom(const FakeEntries& entries, int call);
// How many calls the entries have had since the fake was installed.
int fakeCallCount(const FakeEntries& entries);

// Allocation sites, for the sweep of allocation faults: a site is the call
// path that leads to allocate or reallocate, as the return addresses of the
// calls above it tell it (so the same call in a loop is one site, and one
// helper called from two places is two). While sites are noted, each new one
// goes to the end of fakeAllocationSites(); a site given to
// fakeFailAllocationAt has its first allocation fail (returns NULL), once.
void fakeNoteAllocationSites(bool noting);
const std::vector<unsigned long long>& fakeAllocationSites(void);
void fakeFailAllocationAt(unsigned long long site);

// The process or job behind a handle the fake gave out: the process, and
// the job's number (from 1); NULL and 0 for a handle it does not know.
FakeProcess* fakeProcessOf(ProcessHandle process);
int fakeJobNumberOf(JobHandle job);

// Each entry of the fake that can fail begins with this: it counts the call
// and says whether a fault strikes it.
bool fakeCallFails(size_t entry, const char* name);
#define FAKE_CALL_FAILS(name) fakeCallFails(FAKE_ENTRY(name), #name)

struct ExitResult {
  bool exited;  // the code under test ended the process
  int status;
};
// Runs body; an endProcess inside it comes back here as {true, status}.
// The way back is a longjmp: objects that body itself owns are not destroyed,
// so whatever must outlive the exit is made before the call.
ExitResult runCatchingExit(const std::function<void()>& body);

#endif
