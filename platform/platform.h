// Every system operation the launcher needs, reached through one replaceable
// table. The Windows build fills it with the real API (win32_platform.cpp);
// the host tests fill it with an in-memory fake (fake_platform.cpp).
// Of the launcher's own code, nothing outside platform/ includes <windows.h>
// (the brand tool, the test helpers and the benchmarks are programs of their own).
#ifndef CORVANE_PLATFORM_PLATFORM_H
#define CORVANE_PLATFORM_PLATFORM_H

#include <stddef.h>

// Every text that crosses the table is UTF-8; the Windows implementation
// converts at its calls (the ones ending in W). A heap text that an entry
// hands out comes from allocate below, and the caller gives it back with
// release.

// Message box styles and answers, with the values MessageBoxW uses.
enum : unsigned {
  kBoxOk = 0x00,
  kBoxYesNo = 0x04,
  kBoxIconError = 0x10,
};
enum : int {
  kAnswerOk = 1,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

// Registry results: 0 is success, anything else a failure. kRegistryNotFound
// (ERROR_FILE_NOT_FOUND) means the key or value does not exist;
// kRegistryMoreData (ERROR_MORE_DATA) that the caller's buffer was too small.
enum : long {
  kRegistrySuccess = 0,
  kRegistryNotFound = 2,
  kRegistryMoreData = 234,
};

// The registry's root keys that the launcher reads.
enum RegistryHive { kHiveLocalMachine, kHiveCurrentUser };

// On 64-bit Windows, 32-bit and 64-bit programs see separate trees of keys
// under HKLM\SOFTWARE; each reads its own unless it names the other. A
// Windows without a 64-bit view has one tree, which every view reads, and
// so has HKCU\Software on Windows 7 and later.
enum RegistryView { kViewOwn, kView64Bit, kView32Bit };

// How long the console launcher waits for Java when its console is closed:
// within the 5 seconds Windows gives a program then before it ends it. Log-off
// and shutdown get the same.
static const unsigned long kConsoleEndWait = 4500;

// What readFile returns when a read fails: the end of the file was not reached.
static const size_t kReadFailed = (size_t)-1;

typedef void* RegistryKey;
typedef void* DirectoryListing;
typedef void* FileHandle;
typedef void* ProcessHandle;
typedef void* ThreadHandle;
typedef void* JobHandle;
typedef void* InstanceHandle;
typedef void* HeldFile;

// System error codes that the launcher tells apart.
enum : unsigned long {
  kErrorFileExists = 80,    // ERROR_FILE_EXISTS
  kErrorPathTooLong = 206,  // ERROR_FILENAME_EXCED_RANGE
};

// What stands at a path.
enum PathKind {
  kPathMissing,    // nothing (the path, or a folder on it, does not exist)
  kPathFile,
  kPathDirectory,
  kPathUnknown,    // it could not be examined
};

typedef void* PipeHandle;     // either end of a pipe for a child's output
typedef void* WorkerThread;   // a thread of the launcher's own
typedef void* LockHandle;
typedef void* AppendFile;     // a file written by appending

// What a thread of the launcher's own runs; it returns 0. Declared as Windows
// starts a thread (stdcall in 32-bit code), so that the Windows platform
// hands it to CreateThread as it is.
#if defined(_WIN32) && defined(__i386__)
#define CORVANE_THREAD_WORK __attribute__((stdcall))
#else
#define CORVANE_THREAD_WORK
#endif
typedef unsigned long(CORVANE_THREAD_WORK* ThreadWork)(void* context);

// Limits of a job object, with the values JOBOBJECT_BASIC_LIMIT_INFORMATION uses.
enum : unsigned long {
  kJobSilentBreakawayOk = 0x1000,  // processes its processes start are not put into it
  kJobKillOnClose = 0x2000,        // its processes end when its last handle is closed
};

// What claiming an instance name found.
enum InstanceClaim {
  kInstanceClaimed,  // no one held it: this launcher does now
  kInstanceFound,    // another launcher holds it
  kInstanceFailed,   // it could not be checked
};

// One entry of a directory listing, as FindFirstFileW / FindNextFileW give it:
// a name of up to 259 UTF-16 units takes up to three bytes for each in UTF-8.
struct ListedEntry {
  char name[260 * 3];
  bool isDirectory;
  bool isLink;  // a symbolic link or junction (a reparse point), to a folder or a file
  // Set when listNext returns false because the listing cannot be read on,
  // not because it has ended.
  bool failed;
};

// How startSuspendedProcess starts a program, besides its command line; a
// zeroed record asks for nothing.
struct ProcessStart {
  const char* title;  // lpTitle; NULL for none
  // STARTF_TITLEISAPPID: the title is an AppUserModelID, under which the
  // program's windows group and pin on the taskbar (Windows 7 and later).
  bool titleIsAppId;
  // STARTF_USESHOWWINDOW with wShowWindow: how the program's first window
  // shows (an SW_ value).
  bool usesShowWindow;
  unsigned short showWindow;
  // CREATE_NO_WINDOW: a console program gets no console window of its own;
  // it is given the launcher's standard handles (STARTF_USESTDHANDLES).
  bool noConsoleWindow;
  // The program's standard output and error (STARTF_USESTDHANDLES): each a
  // pipe's writer, or NULL for the launcher's own; standard input stays the
  // launcher's own.
  PipeHandle output;
  PipeHandle error;
};

// Each implementation fills the whole table in one designated initialisation,
// built with -Werror=missing-field-initializers: a forgotten operation does
// not compile.
struct PlatformOps {
  // MessageBoxW without an owner window; returns the button pressed.
  int (*messageBox)(const char* text, const char* caption, unsigned style);

  // The current directory as a heap text (caller releases), or NULL when it cannot be read.
  char* (*currentDirectory)(void);
  // Returns true when the current directory was changed.
  bool (*changeDirectory)(const char* path);
  // The full path of a file name, as GetFullPathNameW forms it (heap text,
  // caller releases), or NULL when it cannot be formed.
  char* (*absolutePath)(const char* path);
  // The environment variable's value, the name compared without regard to case;
  // NULL when it is not set. The text stays valid until the process ends.
  const char* (*environmentValue)(const char* name);

  // Directory listing with FindFirstFileW semantics: the first entry comes with
  // the successful start, and a folder that is not a drive's root lists "."
  // and ".." where the pattern matches them. NULL when nothing matches or the
  // directory is missing.
  DirectoryListing (*listFirst)(const char* pattern, ListedEntry* entry);
  // The next entry; false at the end, and when the listing cannot be read on
  // (entry->failed).
  bool (*listNext)(DirectoryListing listing, ListedEntry* entry);
  void (*listClose)(DirectoryListing listing);

  // Raw file reading. openFile returns NULL on failure and then sets
  // *errorText to the runtime library's text for the error.
  FileHandle (*openFile)(const char* path, const char** errorText);
  // Reads up to size bytes; returns the count, 0 at the end of the file,
  // kReadFailed when the file cannot be read on.
  size_t (*readFile)(FileHandle file, char* buffer, size_t size);
  void (*closeFile)(FileHandle file);

  // Opens hive\path with KEY_READ through the view.
  long (*registryOpen)(RegistryHive hive, RegistryView view, const char* path, RegistryKey* key);
  // Opens path below an open key with KEY_READ, in the tree of keys that the
  // parent belongs to: the parent's handle carries its view, and naming a
  // view again would redirect the open anew.
  long (*registryOpenSubkey)(RegistryKey parent, const char* path, RegistryKey* key);
  // Reads a value's bytes; *size is the buffer size in and the byte count out
  // (the needed size when kRegistryMoreData is returned). Text values come as
  // UTF-8, with their terminating NUL only when the stored value has one;
  // other types come as stored.
  long (*registryQueryValue)(RegistryKey key, const char* name, char* buffer, unsigned long* size);
  long (*registrySubkeyCount)(RegistryKey key, unsigned long* count);
  // *size is the buffer size in bytes in (room for the NUL included), the
  // name's UTF-8 length out; kRegistryMoreData when the name does not fit.
  long (*registryEnumSubkey)(RegistryKey key, unsigned long index, char* name, unsigned long* size);
  void (*registryClose)(RegistryKey key);

  // CreateProcessW with no application name, the writable command line,
  // the inherited environment and directory, no inherited handle, and a
  // startup record whose only non-zero members are its size and the title
  // (NULL for none). Returns true on success; on failure *errorCode is the
  // system's error code. For the browser, which gets nothing of the
  // launcher's; Java is started by startSuspendedProcess.
  bool (*startProcess)(char* commandLine, const char* title, ProcessHandle* process,
                       unsigned long* errorCode);
  void (*waitForInputIdle)(ProcessHandle process, unsigned long milliseconds);
  void (*waitForExit)(ProcessHandle process);
  bool (*processExitCode)(ProcessHandle process, unsigned long* code);

  // Text-mode standard output and standard error (each '\n' becomes CR LF on
  // Windows), written in the ANSI code page; standard error on a console
  // shows a text in any script as written. Standard output may be held
  // back, but is written out before a message box, a process start, a write
  // to standard error and the end of the process.
  void (*writeOutput)(const char* text);
  void (*writeError)(const char* text);

  // Ends the process in order (standard streams flushed). Must not return.
  void (*exitProcess)(int status);

  // The ANSI code page: older configuration files (neither UTF-8 nor UTF-16)
  // are written in it, and Java's own launcher reads its command line in it.
  // The UTF-8 form of an ANSI code page text (heap text, caller releases).
  char* (*ansiToUtf8)(const char* text);
  // True when the ANSI code page spells the text exactly: no character is
  // missing from it or replaced by a look-alike.
  bool (*ansiCanSpell)(const char* text);
  // The short (8.3) form of an existing file or folder's path, as
  // GetShortPathNameW gives it (heap text, caller releases): the path itself
  // when its volume gives no short form, NULL when nothing exists there.
  char* (*shortPath)(const char* path);
  // The bytes Java's own launcher gets for the text: its form in the ANSI code
  // page as Windows converts it, with best fit (a character the code page
  // lacks becomes a look-alike, a fullwidth quote '"' and a no-break space a
  // blank, or else the default character '?'). Heap text, caller releases;
  // NULL only when memory runs out.
  char* (*ansiBytes)(const char* text);

  // The full path of the running executable, as GetModuleFileNameW gives it
  // (heap text, caller releases), or NULL when it cannot be read.
  char* (*programPath)(void);
  // The system directory, as GetSystemDirectoryW gives it (heap text, caller
  // releases), or NULL when it cannot be read.
  char* (*systemDirectory)(void);
  // The process's command line, as GetCommandLineW gives it (heap text,
  // caller releases), or NULL when memory runs out.
  char* (*commandLine)(void);
  // Sets an environment variable of the launcher's, which the programs it
  // starts inherit; false when it could not be set.
  bool (*setEnvironmentValue)(const char* name, const char* value);
  // How the launcher's starter asked its first window to show (a shortcut's
  // "Run: Maximized"): true with wShowWindow of the launcher's own startup
  // record where STARTF_USESHOWWINDOW is set there, else false.
  bool (*startupShowState)(unsigned short* showWindow);
  // True when the launcher has a console; false when it was started without
  // one (DETACHED_PROCESS), and in the GUI launcher, which never has one.
  bool (*hasConsole)(void);

  // For the console launcher (the GUI launcher never asks for the next two,
  // and its exe does nothing for them).
  // From now on Ctrl+C and Ctrl+Break do not end the launcher, which goes on
  // waiting for Java; the programs it starts on its console still get them.
  void (*outliveConsoleInterrupts)(void);
  // From now on, when its console is closed, the user logs off or Windows
  // shuts down, the launcher waits for this process (Java, which gets the
  // same event) to end, for at most kConsoleEndWait milliseconds, before
  // Windows ends it. The platform keeps a handle of its own to the process.
  // Takes effect once outliveConsoleInterrupts has.
  void (*awaitAtConsoleEnd)(ProcessHandle process);
  // True once the user pressed Ctrl+C on the console since
  // outliveConsoleInterrupts took effect (Java got it too).
  bool (*interruptedByUser)(void);

  // Java's lifetime: Java runs in a job object whose only handle the
  // launcher holds, so that it ends with the launcher however that ends.
  // A job with these limits (kJob...), or NULL with the system's error code.
  JobHandle (*createJob)(unsigned long limitFlags, unsigned long* errorCode);
  // startProcess, but as the record says, with inherited handles, and with
  // the new process's first thread held until resumeThread; also gives the
  // process id. A console program started so shares the console launcher's
  // console and standard handles, redirected files and pipes included: the
  // handles a program is given are inheritable, and without
  // STARTF_USESTDHANDLES a console child takes its parent's.
  bool (*startSuspendedProcess)(char* commandLine, const ProcessStart* start,
                                ProcessHandle* process, ThreadHandle* thread,
                                unsigned long* processId, unsigned long* errorCode);
  // False with the system's error code when the process cannot be put into
  // the job (an older Windows refuses when the launcher already runs in one).
  bool (*assignToJob)(JobHandle job, ProcessHandle process, unsigned long* errorCode);
  // Lets the thread run and closes its handle.
  void (*resumeThread)(ThreadHandle thread);
  void (*closeJob)(JobHandle job);
  void (*closeProcess)(ProcessHandle process);

  // Java's argument file. Writes the bytes as given (ansiBytes makes them)
  // into a new file in the user's temporary folder (GetTempPath2W's where
  // Windows has it, which gives SYSTEM a folder of its own, else
  // GetTempPathW's), under a name drawn at random: "jva", 16 hexadecimal
  // digits, ".tmp". Holds the file open: until closeTemporaryFile other
  // programs may read it, but not write, replace or remove it, and no
  // program the launcher starts inherits the handle. The handle, with the file's path in *path (heap text, caller
  // releases); or NULL with the system's error code, never 0, and nothing
  // left behind: kErrorFileExists when the name drawn is taken,
  // kErrorPathTooLong for a folder longer than MAX_PATH.
  HeldFile (*writeTemporaryFile)(const char* bytes, char** path, unsigned long* errorCode);
  // Lets the file go; it stays until removeFile.
  void (*closeTemporaryFile)(HeldFile file);
  // True when the file was there and is gone.
  bool (*removeFile)(const char* path);

  // One running instance of an application per terminal-services session
  // (whatever user runs it), marked by a named kernel object ("Local\...")
  // that holds its Java's process id.
  // kInstanceClaimed with the mark (held until releaseInstance), or
  // kInstanceFound with the process id that the holder published (0 while
  // it has published none), or kInstanceFailed.
  InstanceClaim (*claimInstance)(const char* objectName, InstanceHandle* mark,
                                 unsigned long* runningProcess);
  void (*publishInstanceProcess)(InstanceHandle mark, unsigned long processId);
  void (*releaseInstance)(InstanceHandle mark);
  // Brings the process's visible top-level windows to the front, restoring
  // a minimised one.
  void (*bringWindowsForward)(unsigned long processId);

  // Memory, as malloc, realloc and free: every block the launcher allocates
  // comes from here and goes back here. allocate and reallocate return NULL
  // when memory runs out; reallocate then leaves the block as it was.
  void* (*allocate)(size_t size);
  void* (*reallocate)(void* block, size_t size);
  void (*release)(void* block);

  // Paths compared as Windows compares file names: CompareStringOrdinal
  // ignoring case, which folds the letters of every script. True when equal.
  bool (*pathsEqual)(const char* a, const char* b);

  // Files of a staged update, and time for the restarts.
  // What is at path, as GetFileAttributesW tells it.
  PathKind (*pathKind)(const char* path);
  // Moves (renames) a file on its volume with MOVEFILE_REPLACE_EXISTING and
  // MOVEFILE_WRITE_THROUGH: on return the move is on disk. A running program
  // may be moved, but not replaced; a file that another process holds open
  // without FILE_SHARE_DELETE may not be moved (ERROR_SHARING_VIOLATION).
  // False with the system's error code.
  bool (*moveFile)(const char* from, const char* to, unsigned long* errorCode);
  // Makes a folder whose parent exists; true when it was made or something
  // of that name is there already, else false with the system's error code.
  bool (*createDirectory)(const char* path, unsigned long* errorCode);
  // Removes an empty folder; true when it was there and is gone.
  bool (*removeDirectory)(const char* path);
  // Writes a new file (replacing one) and returns once its bytes are on
  // disk; false with the system's error code. A file whose write failed
  // may be left with some of its bytes.
  bool (*writeFileDurably)(const char* path, const char* text, unsigned long* errorCode);
  // Waits; a sleep cut short returns early.
  void (*sleepMilliseconds)(unsigned long milliseconds);
  // Milliseconds since some start (GetTickCount): only differences of two
  // readings mean anything, and they are right across its wrap.
  unsigned long (*clockMilliseconds)(void);

  // Java's output, read by the launcher.
  // True when the launcher's own standard error is a handle a child can
  // write to (a console, a file, a pipe); false when it has none, as when
  // the shell starts a GUI program.
  bool (*standardErrorUsable)(void);
  // A pipe for a child's output: *reader is the launcher's end, *writer
  // (inheritable) the one the child is given. False with the system's error code.
  bool (*createOutputPipe)(PipeHandle* reader, PipeHandle* writer, unsigned long* errorCode);
  // Waits until the pipe holds something and reads up to size bytes of it:
  // the count, 0 once every writer has closed the pipe, or once it has been
  // stopped and is empty, or when the read fails (the pipe is then closed to
  // its writers, whose writes fail instead of waiting for a reader).
  size_t (*readOutputPipe)(PipeHandle reader, char* buffer, size_t size);
  // From now on the pipe's reads end once it is empty, though a writer (a
  // program the child started) still holds it: what is there is read, a
  // bounded amount. Called from another thread than the reader's.
  void (*stopOutputPipe)(PipeHandle reader);
  void (*closeOutputPipe)(PipeHandle end);  // either end
  // A thread that runs work(context); NULL with the system's error code.
  WorkerThread (*startThread)(ThreadWork work, void* context, unsigned long* errorCode);
  // Waits until the thread has ended, and closes its handle.
  void (*joinThread)(WorkerThread thread);
  // A lock that one thread at a time holds (a critical section); NULL when
  // none can be made.
  LockHandle (*createLock)(void);
  void (*takeLock)(LockHandle lock);
  void (*releaseLock)(LockHandle lock);
  void (*closeLock)(LockHandle lock);

  // Java's log. Opens the file for appending, made when missing, shared with
  // readers, writers and renames, and not inherited; *size is its length.
  // NULL with the system's error code.
  AppendFile (*openAppendFile)(const char* path, unsigned long long* size,
                               unsigned long* errorCode);
  // Writes the bytes at the end of the file, all of them or false with the
  // system's error code.
  bool (*appendToFile)(AppendFile file, const char* bytes, size_t count, unsigned long* errorCode);
  void (*closeAppendFile)(AppendFile file);
};

extern PlatformOps platform;

// Ends the process through the table's exit; never returns. Only the entry
// ends the process, but for running out of memory, which ends it where met.
[[noreturn]] void endProcess(int status);

#endif
