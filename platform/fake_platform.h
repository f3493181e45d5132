// An in-memory platform for the host tests: files, directories, environment,
// registry, message boxes, processes, the standard streams and memory, all
// scripted and recorded, and any entry made to fail on demand (see Faults).
// Paths are Windows paths; the fake resolves relative ones against its
// current directory and compares them without regard to case (ASCII letters
// only, but for pathsEqual). Its ANSI code page is Latin-1 or, for the tests
// that need a double-byte one, a part of 932 (platform/fake_code_page.h).
#ifndef CORVANE_PLATFORM_FAKE_PLATFORM_H
#define CORVANE_PLATFORM_FAKE_PLATFORM_H

#include <stddef.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake_code_page.h"
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
  bool inheritsHandles;  // the launcher's handles: Java does, the browser not
  // The rest of the start's record (ProcessStart); the browser's asks for nothing.
  bool titleIsAppId;
  bool usesShowWindow;
  unsigned short showWindow;
  bool noConsoleWindow;
  // Started with its output taken: the pipe (numbered from 1 in
  // FakeState::pipes) of its standard output and error; 0 for the launcher's own.
  int outputPipe;
  int errorPipe;
  bool outputGiven;  // started with output pipes (STARTF_USESTDHANDLES)
  bool terminated;  // ended by the service launcher (exit code 1)
};

// One write of Java's: to standard output (1) or standard error (2).
struct FakeWrite {
  int stream;
  std::string bytes;
};

// A pipe for a child's output: what its writers wrote that no read took yet.
struct FakePipe {
  std::string held;
  std::string read;         // everything reads took, in order
  bool writerOpen;          // the launcher's writer end is open
  bool stopped;
  bool heldByOthers;        // a program the child started holds it, and lives on
  std::vector<size_t> children;  // the processes (by place in processes) given it
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
  std::string shortName;  // its 8.3 name, which a pattern matches too; empty for none
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
  bool kills;           // that call ends the process instead of failing
};

struct FakeState {
  std::string currentDirectory = "C:\\Work";
  std::vector<std::string> directoryChanges;  // every change asked for, whether it was made or not

  std::map<std::string, std::string> files;  // by normalized path
  std::map<std::string, std::vector<FakeDirectoryEntry>> directories;  // in listing order
  std::vector<std::pair<std::string, std::string>> environment;
  std::vector<std::string> environmentChanges;  // "NAME=value" for each variable the launcher set

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

  // The ANSI code page: kFakeLatin1 or kFakeJapanese.
  int codePage = kFakeLatin1;

  // Short (8.3) forms by normalized path; an existing file or folder without
  // one answers with its own path, as every one does when the volume has none.
  std::map<std::string, std::string> shortPaths;
  bool volumeHasShortNames = true;

  // What is open now: files, listings, registry keys, process handles (above),
  // jobs, threads, held files and instance marks (below) are counted as they
  // are opened and closed.
  int openFiles = 0;
  int openListings = 0;
  std::string output;
  std::string error;

  std::string programPath = "C:\\Work\\launcher.exe";
  std::string systemDirectory = "C:\\Windows\\system32";
  // The command line that the launcher's entry splits.
  std::string commandLine = "\"C:\\Work\\launcher.exe\"";
  // The launcher's own start: the show state its starter asked for (-1 for
  // none), and whether it has a console.
  int startupShowState = -1;
  bool hasConsole = true;

  // The console launcher: how many programs had been started when the
  // launcher made Ctrl+C and Ctrl+Break pass it by; -1 when it never did.
  int interruptsOutlivedAfter = -1;
  // The user pressed Ctrl+C on the console (scripted).
  bool userInterrupted = false;
  // Java's job, and the order of the operations on processes, jobs and
  // files and instances: "create job 1", "start suspended 1", "assign 1 to
  // job 1", "resume 1", "close process 1", "close job 1" (jobs and processes
  // numbered from 1 by their place in jobs and processes), "await 1 at
  // console end", "write <path>",
  // "close <path>", "remove <path>", "claim <name>", "publish <process id>",
  // "release <name>".
  // A job that cannot be made, or a process that cannot be put into one,
  // fails with ERROR_ACCESS_DENIED (5).
  std::vector<FakeJob> jobs;
  std::vector<std::string> events;
  int openJobs = 0;
  int openThreads = 0;  // a suspended process's thread, until resumeThread

  // Temporary files are written as <temporaryDirectory>\jva<n>.tmp, n the
  // number of names drawn in 16 hexadecimal digits (jva0000000000000001.tmp
  // first), holding the bytes as given, and kept in files; writtenFiles
  // keeps what each held, by its path, after its removal too. A name that is taken fails with ERROR_FILE_EXISTS, a folder
  // or file path longer than MAX_PATH (in bytes) with
  // ERROR_FILENAME_EXCED_RANGE, a fault with ERROR_DISK_FULL (112). A file
  // held open cannot be removed: "remove" fails until its "close".
  std::string temporaryDirectory = "C:\\Users\\User\\AppData\\Local\\Temp";
  unsigned long long randomNames = 0;
  std::map<std::string, std::string> writtenFiles;
  int openHeldFiles = 0;

  std::map<std::string, FakeInstance> instances;  // held marks, by object name
  int openInstanceMarks = 0;  // the marks this launcher claimed and has not released
  std::vector<unsigned long> windowsBroughtForward;  // the process of each call

  // Folders are the keys of directories: every folder a file was added in,
  // and every folder made. A file in filesInUse is held open by another
  // process without FILE_SHARE_DELETE: it cannot be moved, removed or
  // replaced. The running program's file (runningImage, or programPath
  // until it is moved) can be moved, but not removed or replaced. Moving
  // a file whose folder does not exist fails (ERROR_PATH_NOT_FOUND, 3), and
  // a write that fails leaves nothing (ERROR_DISK_FULL); the fake moves
  // files only.
  std::set<std::string> filesInUse;  // normalized paths
  std::string runningImage;          // normalized; empty: at programPath
  // Time: clockMilliseconds reads clock; each sleep adds its time (and is
  // recorded in sleeps), and each wait for a program's end adds the next of
  // javaRunMilliseconds (0 when none is left). What each started program
  // does while it runs (stage files, say) is the next of whileJavaRuns,
  // done as the launcher waits for its end.
  unsigned long clock = 0;
  std::vector<unsigned long> sleeps;
  std::deque<unsigned long> javaRunMilliseconds;
  std::deque<std::function<void()>> whileJavaRuns;
  // Java's output. Each Java started in a job writes javaWrites at once:
  // into the pipe its stream was given, or else into javaOwnOutput and
  // javaOwnError (the launcher's own streams, where they always went). A
  // read takes at most pipeChunk bytes. With javaLeavesOutputOpen, a program
  // Java started holds its pipes open after Java ended.
  bool standardErrorUsable = true;
  std::vector<FakeWrite> javaWrites;
  size_t pipeChunk = 4096;
  bool javaLeavesOutputOpen = false;
  std::string javaOwnOutput;
  std::string javaOwnError;
  std::vector<FakePipe> pipes;
  int openPipeEnds = 0;
  // Threads run when joined: by then Java has ended and its output is in
  // the pipes. A read of an empty pipe that a writer still holds and that
  // was not stopped would wait for ever on Windows: it is counted here.
  int openWorkers = 0;
  int readsThatWouldWait = 0;
  int openLocks = 0;
  int lockMisuses = 0;  // a lock taken while held, or released while not held
  int openAppendFiles = 0;
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
// Adds a directory listing entry (and the directory itself when new). A
// listing's pattern matches its name or its short name, as FindFirstFileW's
// does on a volume that keeps short names.
void fakeAddDirectoryEntry(const std::string& directory, const std::string& name,
                           bool isDirectory = false, const std::string& shortName = "");
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
// a text that is not written, a variable not set, no show state, no console,
// a process id not published, windows not brought forward, interrupts that
// still end the launcher, a standard error taken for unusable, a pipe read
// that ends early; allocate and
// reallocate give NULL. Only what Windows does not let fail, or what no
// caller could see fail, cannot: the closes (of files, listings, keys,
// processes, jobs, held files, instance marks, pipes, locks and appended
// files), resumeThread, stopOutputPipe, joinThread, takeLock, releaseLock,
// release and exitProcess. An entry is named by its place in the table.
#define FAKE_ENTRY(name) offsetof(PlatformOps, name)
extern const FakeEntries kFakeEveryEntry;     // every entry that can fail
extern const FakeEntries kFakeSystemEntries;  // every entry but the memory ones
extern const FakeEntries kFakeRegistryEntries;  // the registry's reads and opens
extern const FakeEntries kFakeServiceEntries;   // every entry of the service table

// The call-th call (from 1) counted over the entries fails, once; from
// fakeFailCallsFrom on, that one and every later one. Faults add up.
void fakeFailCall(const FakeEntries& entries, int call);
void fakeFailCallsFrom(const FakeEntries& entries, int call);
// The process ends (inside runCatchingExit: comes back there with status
// kFakeKilled) as the call-th call counted over the entries begins: a kill
// or a power loss after the calls before it.
void fakeKillAtCall(const FakeEntries& entries, int call);
enum { kFakeKilled = -9 };
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
