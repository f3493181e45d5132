// The platform table over the real Windows API and the C runtime (msvcrt).
#include "platform/win32_platform.h"

#include <windows.h>
// After windows.h: RtlGenRandom (ADVAPI32's SystemFunction036).
#include <ntsecapi.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"
#include "platform/win32_text.h"

// The seam's conversions. Inside the launcher every text is UTF-8; Windows is
// spoken to in UTF-16 through the calls ending in W. Each returns a heap text
// (caller frees), NULL only when memory runs out. An invalid UTF-8 sequence
// becomes U+FFFD; a character that the target code page lacks becomes its
// default character or a look-alike.
static WCHAR* toWideFrom(UINT codePage, const char* text) {
  int length = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
  WCHAR* wide = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (length > 0 ? length : 1)));
  if (wide && !MultiByteToWideChar(codePage, 0, text, -1, wide, length)) wide[0] = 0;
  return wide;
}

static char* fromWideTo(UINT codePage, const WCHAR* wide) {
  int length = WideCharToMultiByte(codePage, 0, wide, -1, NULL, 0, NULL, NULL);
  char* text = static_cast<char*>(malloc(length > 0 ? length : 1));
  if (text && !WideCharToMultiByte(codePage, 0, wide, -1, text, length, NULL, NULL)) text[0] = 0;
  return text;
}

// In UTF-8, the launcher's own texts (win32_text.h): kept out of line, so
// that the many callers do not each pass the code page.
__attribute__((noinline)) WCHAR* toWide(const char* text) { return toWideFrom(CP_UTF8, text); }
__attribute__((noinline)) char* fromWide(const WCHAR* wide) { return fromWideTo(CP_UTF8, wide); }

// The C runtime's standard streams, taken from its table of streams: the
// stdout and stderr of the headers go through a helper of the mingw
// library, whose unwind table alone would add a section to the 32-bit exe.
static FILE* standardOutput(void) { return &_iob[1]; }
static FILE* standardError(void) { return &_iob[2]; }

// Trace lines gather in standard output's buffer and leave together
// before the launcher shows a box, starts a program (Java may write to the
// same output, and the launcher may then wait on it for a long time),
// writes to standard error or ends. Under Wine every write is a round trip
// to the wineserver: line by line, the hundred lines of a version
// resolution cost more than the rest of the launcher's own work.
static void flushOutput(void) { fflush(standardOutput()); }

// The service launcher (CORVANE_SERVICE) has no desktop and waits for Java
// its own way: the entries only the other launchers reach are not in its exe
// (it asks for no box and no such wait, brings no window forward, opens no
// download page and keeps no tail of Java's standard error for a box).
#ifndef CORVANE_SERVICE
static int win32MessageBox(const char* text, const char* caption, unsigned style) {
  flushOutput();
  WCHAR* wideText = toWide(text);
  WCHAR* wideCaption = toWide(caption);
  int answer = MessageBoxW(NULL, wideText, wideCaption, style);
  free(wideText);
  free(wideCaption);
  return answer;
}
#endif

// Calls that fill a buffer with a text formed from a path (or from nothing,
// for the current and the system directory) and answer with the size they
// need when it is too small, GetFullPathNameW-like.
enum SizedTextCall { kCurrentDirectoryCall, kFullPathCall, kShortPathCall, kSystemDirectoryCall };

static DWORD callSized(SizedTextCall call, const WCHAR* path, DWORD size, WCHAR* buffer) {
  switch (call) {
    case kCurrentDirectoryCall:
      return GetCurrentDirectoryW(size, buffer);
    case kFullPathCall:
      return GetFullPathNameW(path, size, buffer, NULL);
    case kShortPathCall:
      return GetShortPathNameW(path, buffer, size);
    default:
      return GetSystemDirectoryW(buffer, size);
  }
}

// The call's text in UTF-8, asked for the size first so that a text of any
// length is read whole; NULL when the call fails.
static char* readSizedText(SizedTextCall call, const char* path) {
  WCHAR* widePath = path ? toWide(path) : NULL;
  DWORD needed = path && !widePath ? 0 : callSized(call, widePath, 0, NULL);
  WCHAR* wide = needed ? static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (needed + 1))) : NULL;
  DWORD got = wide ? callSized(call, widePath, needed + 1, wide) : 0;
  char* text = got == 0 || got > needed ? NULL : fromWide(wide);
  free(wide);
  free(widePath);
  return text;
}

static char* win32CurrentDirectory(void) { return readSizedText(kCurrentDirectoryCall, NULL); }

typedef BOOL(WINAPI* PathCall)(LPCWSTR path);

// The call made on the path; false when it fails or memory runs out.
static bool callOnPath(PathCall call, const char* path) {
  WCHAR* widePath = toWide(path);
  bool done = widePath && call(widePath);
  free(widePath);
  return done;
}

static bool win32ChangeDirectory(const char* path) { return callOnPath(SetCurrentDirectoryW, path); }

static char* win32AbsolutePath(const char* path) { return readSizedText(kFullPathCall, path); }

static char* win32SystemDirectory(void) { return readSizedText(kSystemDirectoryCall, NULL); }

// Read from the process's environment itself, not from the C runtime's copy,
// which its start-up code made. As that copy did, the lookup ignores case
// and leaves out the current directories of the drives ("=C:"). The UTF-8
// copy is kept until the process ends.
static const char* win32EnvironmentValue(const char* name) {
  WCHAR* wideName = name[0] == '=' ? NULL : toWide(name);
  DWORD needed = wideName ? GetEnvironmentVariableW(wideName, NULL, 0) : 0;
  WCHAR* value = needed ? static_cast<WCHAR*>(malloc(sizeof(WCHAR) * needed)) : NULL;
  DWORD got = value ? GetEnvironmentVariableW(wideName, value, needed) : needed;
  char* text = got < needed ? fromWide(value) : NULL;  // an empty value is one too
  free(value);
  free(wideName);
  return text;
}

static void copyFound(const WIN32_FIND_DATAW* found, ListedEntry* entry) {
  if (!WideCharToMultiByte(CP_UTF8, 0, found->cFileName, -1, entry->name, sizeof entry->name, NULL,
                           NULL))
    entry->name[0] = '\0';
  entry->isDirectory = (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry->isLink = (found->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  entry->failed = false;
}

static DirectoryListing win32ListFirst(const char* pattern, ListedEntry* entry) {
  WIN32_FIND_DATAW found;
  WCHAR* widePattern = toWide(pattern);
  HANDLE handle = widePattern ? FindFirstFileW(widePattern, &found) : INVALID_HANDLE_VALUE;
  free(widePattern);
  if (handle == INVALID_HANDLE_VALUE) return NULL;
  copyFound(&found, entry);
  return handle;
}

static bool win32ListNext(DirectoryListing listing, ListedEntry* entry) {
  WIN32_FIND_DATAW found;
  if (FindNextFileW(static_cast<HANDLE>(listing), &found)) {
    copyFound(&found, entry);
    return true;
  }
  entry->failed = GetLastError() != ERROR_NO_MORE_FILES;
  return false;
}

static void win32ListClose(DirectoryListing listing) { FindClose(static_cast<HANDLE>(listing)); }

// Opened in binary mode: the line reader does the text-mode translation itself.
static FileHandle win32OpenFile(const char* path, const char** errorText) {
  WCHAR* widePath = toWide(path);
  errno = ENOMEM;
  FILE* file = widePath ? _wfopen(widePath, L"rb") : NULL;
  if (!file) *errorText = strerror(errno);
  free(widePath);
  return file;
}

// A read that fails gives the bytes before the error; the next one, with
// the stream's error set, gives none and reports the failure.
static size_t win32ReadFile(FileHandle file, char* buffer, size_t size) {
  FILE* stream = static_cast<FILE*>(file);
  size_t got = fread(buffer, 1, size, stream);
  return got == 0 && ferror(stream) ? kReadFailed : got;
}

static void win32CloseFile(FileHandle file) { fclose(static_cast<FILE*>(file)); }

static HKEY rootKeyOf(RegistryHive hive) {
  return hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Only the view that is not the program's own gets an access flag, so that
// reading the own view never depends on the flag (Windows 2000 knows none).
// A Windows without a 64-bit view ignores the flag and reads its one tree.
static REGSAM viewFlag(RegistryView view) {
#ifdef _WIN64
  return view == kView32Bit ? KEY_WOW64_32KEY : 0;
#else
  return view == kView64Bit ? KEY_WOW64_64KEY : 0;
#endif
}

static long openKey(HKEY parent, const char* path, REGSAM access, RegistryKey* key) {
  *key = NULL;
  WCHAR* widePath = toWide(path);
  if (!widePath) return ERROR_NOT_ENOUGH_MEMORY;
  HKEY opened = NULL;
  LONG result = RegOpenKeyExW(parent, widePath, 0, access, &opened);
  free(widePath);
  *key = opened;
  return result;
}

static long win32RegistryOpen(RegistryHive hive, RegistryView view, const char* path,
                              RegistryKey* key) {
  return openKey(rootKeyOf(hive), path, KEY_READ | viewFlag(view), key);
}

// Under Wine a view flag costs several server round trips per open, even
// below an open key; without one, an open below a key is a single one.
static long win32RegistryOpenSubkey(RegistryKey parent, const char* path, RegistryKey* key) {
  return openKey(static_cast<HKEY>(parent), path, KEY_READ, key);
}

static bool isTextType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Gives the caller a value read whole: a text as UTF-8 (with a terminating
// NUL only where the stored value has one), any other type as stored.
static LONG deliverValue(DWORD type, BYTE* data, DWORD bytes, char* buffer, unsigned long* size) {
  bool text = isTextType(type);
  int units = bytes / sizeof(WCHAR);
  const WCHAR* wide = reinterpret_cast<const WCHAR*>(data);
  if (text) bytes = units ? WideCharToMultiByte(CP_UTF8, 0, wide, units, NULL, 0, NULL, NULL) : 0;
  LONG result = bytes > *size ? ERROR_MORE_DATA : ERROR_SUCCESS;
  if (result == ERROR_SUCCESS && text && units)
    WideCharToMultiByte(CP_UTF8, 0, wide, units, buffer, bytes, NULL, NULL);
  else if (result == ERROR_SUCCESS && !text)
    memcpy(buffer, data, bytes);
  *size = bytes;
  return result;
}

// The value is read whole (asked again while it grows), then delivered. The
// first try has room for a path, so that reading one takes a single call.
static long win32RegistryQueryValue(RegistryKey key, const char* name, char* buffer,
                                    unsigned long* size) {
  WCHAR* wideName = toWide(name);
  DWORD valueType = 0, bytes = MAX_PATH * sizeof(WCHAR);
  BYTE* data = NULL;
  LONG result = wideName ? ERROR_MORE_DATA : ERROR_NOT_ENOUGH_MEMORY;
  for (int attempt = 0; attempt < 4 && result == ERROR_MORE_DATA; ++attempt) {
    free(data);
    data = static_cast<BYTE*>(malloc(bytes + sizeof(WCHAR)));
    result = data ? RegQueryValueExW(static_cast<HKEY>(key), wideName, NULL, &valueType, data,
                                     &bytes)
                  : ERROR_NOT_ENOUGH_MEMORY;
  }
  if (result == ERROR_SUCCESS) result = deliverValue(valueType, data, bytes, buffer, size);
  free(data);
  free(wideName);
  return result;
}

static long win32RegistrySubkeyCount(RegistryKey key, unsigned long* count) {
  DWORD subkeys = 0;
  LONG result = RegQueryInfoKeyW(static_cast<HKEY>(key), NULL, NULL, NULL, &subkeys, NULL, NULL,
                                 NULL, NULL, NULL, NULL, NULL);
  *count = subkeys;
  return result;
}

static long win32RegistryEnumSubkey(RegistryKey key, unsigned long index, char* name,
                                    unsigned long* size) {
  WCHAR wide[256];  // a key name has at most 255 characters
  DWORD length = 256;
  LONG result = RegEnumKeyExW(static_cast<HKEY>(key), index, wide, &length, NULL, NULL, NULL, NULL);
  if (result != ERROR_SUCCESS) return result;
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length + 1, name, *size, NULL, NULL);
  if (bytes == 0) return ERROR_MORE_DATA;
  *size = bytes - 1;
  return ERROR_SUCCESS;
}

static void win32RegistryClose(RegistryKey key) { RegCloseKey(static_cast<HKEY>(key)); }

#ifndef STARTF_TITLEISAPPID
#define STARTF_TITLEISAPPID 0x1000
#endif

// A pipe's writer given to a child, or the launcher's own standard handle.
static HANDLE childHandle(PipeHandle end, DWORD own);

// CreateProcessW as startProcess describes it, with the given handle
// inheritance and creation flags, and the startup record as the start says.
static bool createProcess(char* commandLine, const ProcessStart* start, BOOL inherit,
                          DWORD flags, PROCESS_INFORMATION* info, unsigned long* errorCode) {
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.lpTitle = start->title ? toWide(start->title) : NULL;
  if (start->title && start->titleIsAppId) startup.dwFlags |= STARTF_TITLEISAPPID;
  if (start->usesShowWindow) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = start->showWindow;
  }
  // A console program started with CREATE_NO_WINDOW gets a console of its
  // own, whose handles would take the place of the standard handles it
  // inherits: it is given the launcher's, redirected files and pipes
  // included, as it would have taken them.
  // A program whose output the launcher takes gets the pipes' writers.
  if (start->noConsoleWindow) flags |= CREATE_NO_WINDOW;
  if (start->noConsoleWindow || start->output || start->error) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = childHandle(start->output, STD_OUTPUT_HANDLE);
    startup.hStdError = childHandle(start->error, STD_ERROR_HANDLE);
  }
  memset(info, 0, sizeof *info);
  WCHAR* wideLine = toWide(commandLine);
  flushOutput();
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  BOOL started = wideLine && (!start->title || startup.lpTitle) &&
                 CreateProcessW(NULL, wideLine, NULL, NULL, inherit, flags, NULL, NULL, &startup, info);
  *errorCode = started ? 0 : GetLastError();
  free(wideLine);
  free(startup.lpTitle);
  return started;
}

#ifndef CORVANE_SERVICE
static bool win32StartProcess(char* commandLine, const char* title, ProcessHandle* process,
                              unsigned long* errorCode) {
  PROCESS_INFORMATION info;
  ProcessStart start = {};
  start.title = title;
  bool started = createProcess(commandLine, &start, FALSE, 0, &info, errorCode);
  if (started) CloseHandle(info.hThread);  // only the process handle is used
  *process = info.hProcess;
  return started;
}
#endif

#ifndef CORVANE_SERVICE
static void win32WaitForInputIdle(ProcessHandle process, unsigned long milliseconds) {
  WaitForInputIdle(static_cast<HANDLE>(process), milliseconds);
}

static void win32WaitForExit(ProcessHandle process) {
  WaitForSingleObject(static_cast<HANDLE>(process), INFINITE);
}
#endif

static bool win32ProcessExitCode(ProcessHandle process, unsigned long* code) {
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(static_cast<HANDLE>(process), &exitCode)) return false;
  *code = exitCode;
  return true;
}

// Created without a name or security attributes, so that no program the
// launcher starts inherits a handle to it.
static JobHandle win32CreateJob(unsigned long limitFlags, unsigned long* errorCode) {
  HANDLE job = CreateJobObjectW(NULL, NULL);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  memset(&limits, 0, sizeof limits);
  limits.BasicLimitInformation.LimitFlags = limitFlags;
  if (job && SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                     sizeof limits)) {
    *errorCode = 0;
    return job;
  }
  *errorCode = GetLastError();
  if (job) CloseHandle(job);
  return NULL;
}

static bool win32StartSuspendedProcess(char* commandLine, const ProcessStart* start,
                                       ProcessHandle* process, ThreadHandle* thread,
                                       unsigned long* processId, unsigned long* errorCode) {
  PROCESS_INFORMATION info;
  bool started = createProcess(commandLine, start, TRUE, CREATE_SUSPENDED, &info, errorCode);
  *process = info.hProcess;
  *thread = info.hThread;
  *processId = info.dwProcessId;
  return started;
}

static bool win32AssignToJob(JobHandle job, ProcessHandle process, unsigned long* errorCode) {
  bool assigned = AssignProcessToJobObject(static_cast<HANDLE>(job), static_cast<HANDLE>(process));
  *errorCode = assigned ? 0 : GetLastError();
  return assigned;
}

static void win32ResumeThread(ThreadHandle thread) {
  ResumeThread(static_cast<HANDLE>(thread));
  CloseHandle(static_cast<HANDLE>(thread));
}

// A job, a process, an instance's mark, a held temporary file, a log file:
// each is a handle of its own, closed alike.
static void closeHandle(void* handle) { CloseHandle(static_cast<HANDLE>(handle)); }

// Never 0 for a call that failed, which a caller would take for success.
static DWORD lastError(void) {
  DWORD error = GetLastError();
  return error ? error : ERROR_GEN_FAILURE;
}

// GetTempPath2W where Windows has it (Windows 11, and 10 with its 2021
// updates); the two differ only for SYSTEM, whom GetTempPathW gives
// C:\Windows\Temp, where every user may create files.
typedef DWORD(WINAPI* TempPathCall)(DWORD, LPWSTR);
static TempPathCall tempPath2;

// Writes every byte, in as many writes as it takes; false at the first that
// fails, whose error is the thread's last error.
static bool writeAll(HANDLE file, const char* bytes, size_t count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, (DWORD)count, &written, NULL)) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

// CREATE_NEW never opens a file that is there already. The share mode lets
// others read while the handle is held, and the handle, made without
// security attributes, is not inherited by the programs the launcher starts.
static HANDLE createNew(const WCHAR* name, const char* bytes) {
  HANDLE file = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY, NULL);
  if (file == INVALID_HANDLE_VALUE || writeAll(file, bytes, strlen(bytes))) return file;
  DWORD error = GetLastError();
  CloseHandle(file);
  DeleteFileW(name);
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

// A folder too long for the buffer gets the size it needs back, and no
// error code.
static HeldFile win32WriteTemporaryFile(const char* bytes, char** path, unsigned long* errorCode) {
  WCHAR name[MAX_PATH + 24];
  DWORD random[2];
  *path = NULL;
  DWORD length = (tempPath2 ? tempPath2 : GetTempPathW)(MAX_PATH + 1, name);
  DWORD error = length > MAX_PATH ? ERROR_FILENAME_EXCED_RANGE : length ? 0 : lastError();
  HANDLE file = INVALID_HANDLE_VALUE;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  if (!error && RtlGenRandom(random, sizeof random)) {
    wsprintfW(name + length, L"jva%08lx%08lx.tmp", random[0], random[1]);
    *path = fromWide(name);
    if (*path) file = createNew(name, bytes);
  }
  *errorCode = error ? error : file != INVALID_HANDLE_VALUE ? 0 : lastError();
  if (file == INVALID_HANDLE_VALUE) {
    free(*path);
    *path = NULL;
  }
  return file != INVALID_HANDLE_VALUE ? file : NULL;
}

static bool win32RemoveFile(const char* path) { return callOnPath(DeleteFileW, path); }

// The instance's mark is a named shared memory of one process id: created
// zeroed, it holds 0 until its holder publishes its Java's id. It is gone
// once no handle is left to it, however its holder ended. An object of that
// name that this user may not open (made by an elevated launcher, say) is
// another instance all the same.
// Reads the mark's process id (FILE_MAP_READ), or writes processId there
// (FILE_MAP_WRITE); 0 when the mark cannot be mapped.
static unsigned long accessMark(HANDLE mapping, DWORD access, unsigned long processId) {
  DWORD* view = static_cast<DWORD*>(MapViewOfFile(mapping, access, 0, 0, sizeof(DWORD)));
  if (!view) return 0;
  if (access == FILE_MAP_WRITE)
    *view = processId;
  else
    processId = *view;
  UnmapViewOfFile(view);
  return processId;
}

static InstanceClaim win32ClaimInstance(const char* objectName, InstanceHandle* mark,
                                        unsigned long* runningProcess) {
  *mark = NULL;
  *runningProcess = 0;
  WCHAR* wideName = toWide(objectName);
  HANDLE mapping = wideName ? CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                                 sizeof(DWORD), wideName)
                            : NULL;
  DWORD error = GetLastError();
  free(wideName);
  if (!mapping) return error == ERROR_ACCESS_DENIED ? kInstanceFound : kInstanceFailed;
  if (error != ERROR_ALREADY_EXISTS) {
    *mark = mapping;
    return kInstanceClaimed;
  }
  *runningProcess = accessMark(mapping, FILE_MAP_READ, 0);
  CloseHandle(mapping);
  return kInstanceFound;
}

static void win32PublishInstanceProcess(InstanceHandle mark, unsigned long processId) {
  accessMark(static_cast<HANDLE>(mark), FILE_MAP_WRITE, processId);
}

#ifndef CORVANE_SERVICE
struct WindowsOfProcess {
  DWORD processId;
  HWND first;     // the topmost of them
  HWND previous;  // the last one placed
};

// EnumWindows goes from the top of the Z order down: each window is placed
// below the one before, so they keep their order, the topmost on top. The
// asynchronous calls leave the launcher free even when the application
// does not answer.
static BOOL CALLBACK raiseWindow(HWND window, LPARAM context) {
  WindowsOfProcess* windows = reinterpret_cast<WindowsOfProcess*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->processId || !IsWindowVisible(window)) return TRUE;
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetWindowPos(window, windows->previous ? windows->previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  if (!windows->first) windows->first = window;
  windows->previous = window;
  return TRUE;
}

// The running Java may take the foreground first: this start, which the
// user just made, may hand that right on. Without it, a window the
// application shows later (its first, still on its way) would come up behind
// others, its button flashing.
static void win32BringWindowsForward(unsigned long processId) {
  AllowSetForegroundWindow(processId);
  WindowsOfProcess windows = {processId, NULL, NULL};
  EnumWindows(raiseWindow, reinterpret_cast<LPARAM>(&windows));
  if (windows.first) SetForegroundWindow(windows.first);
}
#else
static void win32BringWindowsForward(unsigned long) {}
#endif

// Without WC_NO_BEST_FIT_CHARS, as Windows makes a program's ANSI command
// line from its Unicode one.
static char* win32AnsiBytes(const char* text) {
  WCHAR* wide = toWide(text);
  char* ansi = wide ? fromWideTo(CP_ACP, wide) : NULL;
  free(wide);
  return ansi;
}

// Standard output and error get the ANSI code page and stay in the C
// runtime's text mode, so each line feed goes out as CR LF.
static void writeInAnsi(const char* text, FILE* stream) {
  char* ansi = win32AnsiBytes(text);
  fputs(ansi ? ansi : text, stream);
  free(ansi);
}

static void win32WriteOutput(const char* text) { writeInAnsi(text, standardOutput()); }

// On a console a text shows as written, in any script; a file or a pipe
// gets the ANSI code page, as it always did. False when the handle is no
// console (or the text could not be written to it).
static bool writeToConsole(HANDLE handle, const char* text) {
  DWORD mode = 0, written = 0;
  if (!GetConsoleMode(handle, &mode)) return false;
  WCHAR* wide = toWide(text);
  bool done = wide && WriteConsoleW(handle, wide, (DWORD)wcslen(wide), &written, NULL);
  free(wide);
  return done;
}

static void win32WriteError(const char* text) {
  flushOutput();
  if (writeToConsole(GetStdHandle(STD_ERROR_HANDLE), text)) return;
  writeInAnsi(text, standardError());
  fflush(standardError());
}

static char* win32AnsiToUtf8(const char* text) {
  WCHAR* wide = toWideFrom(CP_ACP, text);
  char* utf8 = wide ? fromWide(wide) : NULL;
  free(wide);
  return utf8;
}

// Without best fit, a character the code page lacks shows as its default
// character instead of passing for a look-alike. A UTF-8 code page spells all.
static bool win32AnsiCanSpell(const char* text) {
  if (GetACP() == CP_UTF8) return true;
  WCHAR* wide = toWide(text);
  BOOL usedDefault = FALSE;
  int length = wide ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, NULL, 0, NULL,
                                          &usedDefault)
                    : 0;
  free(wide);
  return length > 0 && !usedDefault;
}

// GetShortPathNameW fails for a path that names nothing, and may fail (or
// answer with the path itself) where the volume keeps no short names.
static char* win32ShortPath(const char* path) {
  char* shortForm = readSizedText(kShortPathCall, path);
  if (shortForm) return shortForm;
  WCHAR* widePath = toWide(path);
  bool exists = widePath && GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
  char* same = exists ? fromWide(widePath) : NULL;  // the path, as it was looked at
  free(widePath);
  return same;
}

// The C runtime leaves a stream unbuffered when it is a character device (a
// console, NUL) and then writes it one byte per system call: a hundred trace
// lines became thousands of writes. Standard output's buffer holds the
// lines of a version resolution over a few hundred installed versions.
static void bufferStandardStreams(void) {
  setvbuf(standardOutput(), NULL, _IOFBF, 32768);
  setvbuf(standardError(), NULL, _IOFBF, BUFSIZ);
}

// Grows the buffer until the path fits: a full buffer may hold a cut path.
static char* win32ProgramPath(void) {
  for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
    WCHAR* wide = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * size));
    if (!wide) return NULL;
    DWORD got = GetModuleFileNameW(NULL, wide, size);
    char* path = got > 0 && got < size - 1 ? fromWide(wide) : NULL;
    free(wide);
    if (path || got == 0) return path;
  }
  return NULL;
}

// Set by the console launcher's handler when the user pressed Ctrl+C.
static volatile bool userInterrupted;

static char* win32CommandLine(void) { return fromWide(GetCommandLineW()); }

static bool win32SetEnvironmentValue(const char* name, const char* value) {
  WCHAR* wideName = toWide(name);
  WCHAR* wideValue = toWide(value);
  bool set = wideName && wideValue && SetEnvironmentVariableW(wideName, wideValue);
  free(wideValue);
  free(wideName);
  return set;
}

static bool win32StartupShowState(unsigned short* showWindow) {
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  *showWindow = startup.wShowWindow;
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
}

#ifdef CORVANE_CONSOLE
// Without a console GetConsoleCP fails and answers 0. (A console without a
// window, as CREATE_NO_WINDOW makes, is a console all the same:
// GetConsoleWindow would answer NULL there too.)
static bool win32HasConsole(void) { return GetConsoleCP() != 0; }

// Java, which the launcher waits for when its console closes; NULL until it
// is started. A handle of the platform's own, never closed: the launcher's
// close of Java's handle must not pull it from under a waiting handler.
static HANDLE volatile awaitedProcess;

// Java, on the same console, gets the same events and decides what they
// mean. A handler routine, unlike the NULL form of SetConsoleCtrlHandler,
// is not inherited: the NULL form would make Java ignore Ctrl+C. For a
// closed console, a log-off or a shutdown, the launcher ends once the
// handler returns, and its job ends Java with it: it first gives Java the
// time to end on its own (its shutdown hooks run then), bounded within what
// Windows allows. (A console program that uses USER32, as the launcher
// does, is not sent log-off and shutdown events; its shutdown level, set at
// start, has Windows end it after Java then.)
static BOOL WINAPI onConsoleEvent(DWORD event) {
  if (event == CTRL_C_EVENT) userInterrupted = true;
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  if (awaitedProcess) WaitForSingleObject(awaitedProcess, kConsoleEndWait);
  return FALSE;  // the default handling ends the launcher
}

// Once: each call would add the handler to the console's list again, and
// every restart of Java asks anew. (The service launcher's Java has a
// console of its own, which the service asks to end.)
static void win32OutliveConsoleInterrupts(void) {
  static bool installed;
  if (!installed) installed = SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// Each start of Java replaces the one awaited; a duplicate of an earlier
// Java's handle, which has ended, is left open, as a handler may be waiting
// on it at that moment.
static void win32AwaitAtConsoleEnd(ProcessHandle process) {
  HANDLE own = NULL;
  if (DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(process), GetCurrentProcess(), &own,
                      SYNCHRONIZE, FALSE, 0))
    awaitedProcess = own;
}
#else
// Only the console launcher asks for these (app/main_sequence.cpp,
// launch/java_start.cpp): the GUI launcher's exe carries no console handler,
// and a GUI program starts without a console, which it never makes.
static bool win32HasConsole(void) { return false; }
static void win32OutliveConsoleInterrupts(void) {}
static void win32AwaitAtConsoleEnd(ProcessHandle) {}
#endif

static bool win32InterruptedByUser(void) { return userInterrupted; }

// The heap texts handed out above come from malloc too, so one release
// (the table's free) serves every block.

// CompareStringOrdinal (Windows Vista and later) compares as the file
// system does. A Windows without it gets both texts upper-cased by
// CharUpperBuffW, which folds the same letters but for a few.
typedef int(WINAPI* CompareOrdinal)(LPCWCH, int, LPCWCH, int, BOOL);
static CompareOrdinal compareOrdinal;

static bool win32PathsEqual(const char* a, const char* b) {
  WCHAR* wideA = toWide(a);
  WCHAR* wideB = toWide(b);
  bool equal = false;
  if (wideA && wideB && compareOrdinal) {
    equal = compareOrdinal(wideA, -1, wideB, -1, TRUE) == CSTR_EQUAL;
  } else if (wideA && wideB) {
    CharUpperBuffW(wideA, (DWORD)wcslen(wideA));
    CharUpperBuffW(wideB, (DWORD)wcslen(wideB));
    equal = wcscmp(wideA, wideB) == 0;
  }
  free(wideA);
  free(wideB);
  return equal;
}

static PathKind win32PathKind(const char* path) {
  WCHAR* widePath = toWide(path);
  DWORD attributes = widePath ? GetFileAttributesW(widePath) : INVALID_FILE_ATTRIBUTES;
  DWORD error = widePath ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
  free(widePath);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kPathDirectory : kPathFile;
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kPathMissing
                                                                         : kPathUnknown;
}

// Without MOVEFILE_COPY_ALLOWED a move never copies: it is a rename on one
// volume, whole or not at all.
static bool win32MoveFile(const char* from, const char* to, unsigned long* errorCode) {
  WCHAR* wideFrom = toWide(from);
  WCHAR* wideTo = toWide(to);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  bool moved = wideFrom && wideTo &&
               MoveFileExW(wideFrom, wideTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  *errorCode = moved ? 0 : GetLastError();
  free(wideFrom);
  free(wideTo);
  return moved;
}

// A file of that name counts as there: the moves into it then fail.
static bool win32CreateDirectory(const char* path, unsigned long* errorCode) {
  WCHAR* widePath = toWide(path);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  bool made = widePath && (CreateDirectoryW(widePath, NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
  *errorCode = made ? 0 : GetLastError();
  free(widePath);
  return made;
}

static bool win32RemoveDirectory(const char* path) { return callOnPath(RemoveDirectoryW, path); }

static bool win32WriteFileDurably(const char* path, const char* text, unsigned long* errorCode) {
  WCHAR* widePath = toWide(path);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  HANDLE file = widePath ? CreateFileW(widePath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, NULL)
                         : INVALID_HANDLE_VALUE;
  bool done = file != INVALID_HANDLE_VALUE && writeAll(file, text, strlen(text)) &&
              FlushFileBuffers(file);
  *errorCode = done ? 0 : GetLastError();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  free(widePath);
  return done;
}

static void win32SleepMilliseconds(unsigned long milliseconds) { Sleep(milliseconds); }

static unsigned long win32ClockMilliseconds(void) { return GetTickCount(); }

// Java's output. A pipe's reader end is a named pipe opened for overlapped
// reads, so that a read can wait for data and for a stop at once; its writer
// end, the one a child gets, is an ordinary inheritable handle.
struct Win32Pipe {
  HANDLE handle;    // NULL once closed
  HANDLE readDone;  // the reader's: its read has completed
  HANDLE stop;      // the reader's: stopOutputPipe was called
  size_t readAfterStop;
};

enum { kPipeBufferSize = 65536 };
// What a stopped pipe still gives before its reads end: what Java left
// there fits in its buffer; anything past that comes from programs Java
// started, which the launcher does not wait for.
static const size_t kDrainAfterStop = 16 * kPipeBufferSize;

// An end without its handle yet; the reader's with its two events.
static Win32Pipe* newPipeEnd(bool reader) {
  Win32Pipe* end = static_cast<Win32Pipe*>(malloc(sizeof(Win32Pipe)));
  if (!end) return NULL;
  *end = Win32Pipe{NULL, NULL, NULL, 0};
  if (reader) {
    end->readDone = CreateEventW(NULL, TRUE, FALSE, NULL);
    end->stop = CreateEventW(NULL, TRUE, FALSE, NULL);
  }
  return end;
}

static HANDLE handleOrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? NULL : handle; }

static void closeEnd(Win32Pipe* end) {
  if (!end) return;
  HANDLE handles[] = {end->handle, end->readDone, end->stop};
  for (HANDLE handle : handles)
    if (handle) CloseHandle(handle);
  free(end);
}

static bool win32CreateOutputPipe(PipeHandle* reader, PipeHandle* writer,
                                  unsigned long* errorCode) {
  static LONG pipes;
  WCHAR name[64];
  wsprintfW(name, L"\\\\.\\pipe\\Corvane.%lu.%lu", GetCurrentProcessId(),
            (unsigned long)InterlockedIncrement(&pipes));
  // Filled here: an initialised record would be the exe's only writable data.
  SECURITY_ATTRIBUTES inherited;
  inherited.nLength = sizeof inherited;
  inherited.lpSecurityDescriptor = NULL;
  inherited.bInheritHandle = TRUE;
  // What a failed allocation leaves; a failed event sets its own error.
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  Win32Pipe* readEnd = newPipeEnd(true);
  Win32Pipe* writeEnd = newPipeEnd(false);
  bool made = readEnd && writeEnd && readEnd->readDone && readEnd->stop &&
              (readEnd->handle = handleOrNull(CreateNamedPipeW(
                   name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, kPipeBufferSize, 0,
                   NULL))) &&
              (writeEnd->handle = handleOrNull(CreateFileW(name, GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                                           0, &inherited, OPEN_EXISTING, 0, NULL)));
  DWORD error = GetLastError();
  *errorCode = made ? 0 : error ? error : ERROR_NOT_ENOUGH_MEMORY;
  if (made) {
    *reader = readEnd;
    *writer = writeEnd;
    return true;
  }
  closeEnd(readEnd);
  closeEnd(writeEnd);
  return false;
}

// How many bytes the pipe holds, as PeekNamedPipe tells; -1 when it does
// not answer.
static long pipeHolds(HANDLE pipe) {
  DWORD available = 0;
  return PeekNamedPipe(pipe, NULL, 0, NULL, &available, NULL) ? (long)available : -1;
}

// A read waits for its data or the stop. Once stopped, a read that would
// wait is cancelled; one that the pipe's data can still complete is let be.
static size_t win32ReadOutputPipe(PipeHandle reader, char* buffer, size_t size) {
  Win32Pipe* end = static_cast<Win32Pipe*>(reader);
  if (!end->handle) return 0;
  bool stopped = WaitForSingleObject(end->stop, 0) == WAIT_OBJECT_0;
  if (stopped && (end->readAfterStop >= kDrainAfterStop || pipeHolds(end->handle) == 0)) return 0;
  OVERLAPPED overlapped;
  memset(&overlapped, 0, sizeof overlapped);
  overlapped.hEvent = end->readDone;
  DWORD got = 0;
  BOOL done = ReadFile(end->handle, buffer, (DWORD)size, &got, &overlapped);
  DWORD error = done ? ERROR_SUCCESS : GetLastError();
  if (error == ERROR_IO_PENDING) {
    HANDLE events[] = {end->readDone, end->stop};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 &&
        pipeHolds(end->handle) <= 0)
      CancelIo(end->handle);
    done = GetOverlappedResult(end->handle, &overlapped, &got, TRUE);
    error = done ? ERROR_SUCCESS : GetLastError();
  }
  if (!done && error != ERROR_BROKEN_PIPE && error != ERROR_OPERATION_ABORTED) {
    CloseHandle(end->handle);  // its writers' writes fail from now on
    end->handle = NULL;
  }
  if (!done) return 0;
  if (stopped) end->readAfterStop += got;
  return got;
}

static void win32StopOutputPipe(PipeHandle reader) {
  SetEvent(static_cast<Win32Pipe*>(reader)->stop);
}

static void win32CloseOutputPipe(PipeHandle end) { closeEnd(static_cast<Win32Pipe*>(end)); }

#ifndef CORVANE_SERVICE
static bool win32StandardErrorUsable(void) {
  HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  if (!handle || handle == INVALID_HANDLE_VALUE) return false;
  SetLastError(ERROR_SUCCESS);
  return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == ERROR_SUCCESS;
}
#endif

static HANDLE childHandle(PipeHandle end, DWORD own) {
  return end ? static_cast<Win32Pipe*>(end)->handle : GetStdHandle(own);
}

static WorkerThread win32StartThread(ThreadWork work, void* context, unsigned long* errorCode) {
  HANDLE thread = CreateThread(NULL, 0, work, context, 0, NULL);
  *errorCode = thread ? 0 : GetLastError();
  return thread;
}

static void win32JoinThread(WorkerThread thread) {
  WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
  CloseHandle(static_cast<HANDLE>(thread));
}

static LockHandle win32CreateLock(void) {
  CRITICAL_SECTION* lock = static_cast<CRITICAL_SECTION*>(malloc(sizeof(CRITICAL_SECTION)));
  if (lock) InitializeCriticalSection(lock);
  return lock;
}

static void win32TakeLock(LockHandle lock) {
  EnterCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
}

static void win32ReleaseLock(LockHandle lock) {
  LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
}

static void win32CloseLock(LockHandle lock) {
  DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
  free(lock);
}

static AppendFile win32OpenAppendFile(const char* path, unsigned long long* size,
                                      unsigned long* errorCode) {
  WCHAR* widePath = toWide(path);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  HANDLE file = widePath ? CreateFileW(widePath, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL)
                         : INVALID_HANDLE_VALUE;
  *errorCode = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  free(widePath);
  if (file == INVALID_HANDLE_VALUE) return NULL;
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  *size = low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR
              ? 0
              : (unsigned long long)high << 32 | low;
  return file;
}

static bool win32AppendToFile(AppendFile file, const char* bytes, size_t count,
                              unsigned long* errorCode) {
  if (writeAll(static_cast<HANDLE>(file), bytes, count)) return true;
  *errorCode = GetLastError();
  return false;
}

// Settings of the whole process, made first. DLLs load from the system
// directory only (SetDefaultDllDirectories: Windows 8 and later, 7 with
// KB2533623; found by name, so that the exe still loads where it is
// missing, and nothing changes there): a DLL put beside a downloaded exe is
// never loaded, not even one that a message box would load. At log-off or
// shutdown Windows ends processes from the highest level to the lowest;
// applications start at 0x280, and at 0x100, the lowest an application may
// take, the launcher is ended after Java: Java's windows are asked to close
// first (a "save changes?" prompt included), before the launcher's end closes
// Java's job.
static void setUpProcess(HMODULE kernel32) {
  typedef BOOL(WINAPI * SetDirectories)(DWORD);
  SetDirectories setDirectories = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetProcessShutdownParameters(0x100, SHUTDOWN_NORETRY);
}

// The C runtime's start-up code told it this; it decides where the
// runtime's own error messages go (a box, or standard error).
extern "C" void __cdecl __set_app_type(int type);
enum { kConsoleApp = 1, kGuiApp = 2 };

// The service launcher has no desktop, and waits for Java its own way: the
// desktop's entries are left out of its exe.
#ifdef CORVANE_SERVICE
#define LAUNCHERS_ON_A_DESKTOP(function) nullptr
#else
#define LAUNCHERS_ON_A_DESKTOP(function) function
#endif

// The table as one constant, read-only like the code it points to, which
// installWin32Platform copies into place.
static const PlatformOps kWin32Platform = {
    .messageBox = LAUNCHERS_ON_A_DESKTOP(win32MessageBox),
    .currentDirectory = win32CurrentDirectory,
    .changeDirectory = win32ChangeDirectory,
    .absolutePath = win32AbsolutePath,
    .environmentValue = win32EnvironmentValue,
    .listFirst = win32ListFirst,
    .listNext = win32ListNext,
    .listClose = win32ListClose,
    .openFile = win32OpenFile,
    .readFile = win32ReadFile,
    .closeFile = win32CloseFile,
    .registryOpen = win32RegistryOpen,
    .registryOpenSubkey = win32RegistryOpenSubkey,
    .registryQueryValue = win32RegistryQueryValue,
    .registrySubkeyCount = win32RegistrySubkeyCount,
    .registryEnumSubkey = win32RegistryEnumSubkey,
    .registryClose = win32RegistryClose,
    .startProcess = LAUNCHERS_ON_A_DESKTOP(win32StartProcess),
    .waitForInputIdle = LAUNCHERS_ON_A_DESKTOP(win32WaitForInputIdle),
    .waitForExit = LAUNCHERS_ON_A_DESKTOP(win32WaitForExit),
    .processExitCode = win32ProcessExitCode,
    .writeOutput = win32WriteOutput,
    .writeError = win32WriteError,
    .exitProcess = exit,
    .ansiToUtf8 = win32AnsiToUtf8,
    .ansiCanSpell = win32AnsiCanSpell,
    .shortPath = win32ShortPath,
    .ansiBytes = win32AnsiBytes,
    .programPath = win32ProgramPath,
    .systemDirectory = win32SystemDirectory,
    .commandLine = win32CommandLine,
    .setEnvironmentValue = win32SetEnvironmentValue,
    .startupShowState = win32StartupShowState,
    .hasConsole = win32HasConsole,
    .outliveConsoleInterrupts = win32OutliveConsoleInterrupts,
    .awaitAtConsoleEnd = win32AwaitAtConsoleEnd,
    .interruptedByUser = win32InterruptedByUser,
    .createJob = win32CreateJob,
    .startSuspendedProcess = win32StartSuspendedProcess,
    .assignToJob = win32AssignToJob,
    .resumeThread = win32ResumeThread,
    .closeJob = closeHandle,
    .closeProcess = closeHandle,
    .writeTemporaryFile = win32WriteTemporaryFile,
    .closeTemporaryFile = closeHandle,
    .removeFile = win32RemoveFile,
    .claimInstance = win32ClaimInstance,
    .publishInstanceProcess = win32PublishInstanceProcess,
    .releaseInstance = closeHandle,
    .bringWindowsForward = win32BringWindowsForward,
    .allocate = malloc,
    .reallocate = realloc,
    .release = free,
    .pathsEqual = win32PathsEqual,
    .pathKind = win32PathKind,
    .moveFile = win32MoveFile,
    .createDirectory = win32CreateDirectory,
    .removeDirectory = win32RemoveDirectory,
    .writeFileDurably = win32WriteFileDurably,
    .sleepMilliseconds = win32SleepMilliseconds,
    .clockMilliseconds = win32ClockMilliseconds,
    .standardErrorUsable = LAUNCHERS_ON_A_DESKTOP(win32StandardErrorUsable),
    .createOutputPipe = win32CreateOutputPipe,
    .readOutputPipe = win32ReadOutputPipe,
    .stopOutputPipe = win32StopOutputPipe,
    .closeOutputPipe = win32CloseOutputPipe,
    .startThread = win32StartThread,
    .joinThread = win32JoinThread,
    .createLock = win32CreateLock,
    .takeLock = win32TakeLock,
    .releaseLock = win32ReleaseLock,
    .closeLock = win32CloseLock,
    .openAppendFile = win32OpenAppendFile,
    .appendToFile = win32AppendToFile,
    .closeAppendFile = closeHandle,
};

void installWin32Platform(bool console) {
  __set_app_type(console ? kConsoleApp : kGuiApp);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  setUpProcess(kernel32);
  compareOrdinal = reinterpret_cast<CompareOrdinal>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "CompareStringOrdinal")));
  tempPath2 = reinterpret_cast<TempPathCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "GetTempPath2W")));
  bufferStandardStreams();
  platform = kWin32Platform;
}
