// The platform table over the real Windows API and the C runtime (msvcrt).
#include "platform/win32_platform.h"

#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"
#include "platform/win32_text.h"

// The seam's conversions (win32_text.h). Inside the launcher every text is
// UTF-8; Windows is spoken to in UTF-16 through the calls ending in W.
WCHAR* toWide(const char* text, UINT codePage) {
  int length = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
  WCHAR* wide = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (length > 0 ? length : 1)));
  if (wide && !MultiByteToWideChar(codePage, 0, text, -1, wide, length)) wide[0] = 0;
  return wide;
}

char* fromWide(const WCHAR* wide, UINT codePage) {
  int length = WideCharToMultiByte(codePage, 0, wide, -1, NULL, 0, NULL, NULL);
  char* text = static_cast<char*>(malloc(length > 0 ? length : 1));
  if (text && !WideCharToMultiByte(codePage, 0, wide, -1, text, length, NULL, NULL)) text[0] = 0;
  return text;
}

char** win32Arguments(int* count) {
  char** arguments = static_cast<char**>(calloc(__argc + 1, sizeof(char*)));
  int converted = 0;
  while (arguments && converted < __argc && (arguments[converted] = fromWide(__wargv[converted])))
    ++converted;
  *count = converted;
  return arguments;
}

// Trace lines gather in standard output's buffer and leave together
// before the launcher shows a box, starts a program (Java may write to the
// same output, and the launcher may then wait on it for a long time),
// writes to standard error or ends. Under Wine every write is a round trip
// to the wineserver: line by line, the hundred lines of a version
// resolution cost more than the rest of the launcher's own work.
static void flushOutput(void) { fflush(stdout); }

// The service launcher (CORVANE_SERVICE) has no desktop and waits for Java
// its own way: the entries only the other launchers reach are not in its exe
// (it asks for no box and no such wait, and brings no window forward).
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
// for the current directory) and answer with the size they need when it is
// too small, GetFullPathNameW-like.
typedef DWORD (*SizedTextCall)(const WCHAR* path, DWORD size, WCHAR* buffer);

static DWORD currentDirectoryInto(const WCHAR*, DWORD size, WCHAR* buffer) {
  return GetCurrentDirectoryW(size, buffer);
}

static DWORD fullPathInto(const WCHAR* path, DWORD size, WCHAR* buffer) {
  return GetFullPathNameW(path, size, buffer, NULL);
}

static DWORD shortPathInto(const WCHAR* path, DWORD size, WCHAR* buffer) {
  return GetShortPathNameW(path, buffer, size);
}

// The call's text in UTF-8, asked for the size first so that a text of any
// length is read whole; NULL when the call fails.
static char* readSizedText(SizedTextCall call, const char* path) {
  WCHAR* widePath = path ? toWide(path) : NULL;
  DWORD needed = path && !widePath ? 0 : call(widePath, 0, NULL);
  WCHAR* wide = needed ? static_cast<WCHAR*>(malloc(sizeof(WCHAR) * (needed + 1))) : NULL;
  DWORD got = wide ? call(widePath, needed + 1, wide) : 0;
  char* text = got == 0 || got > needed ? NULL : fromWide(wide);
  free(wide);
  free(widePath);
  return text;
}

static char* win32CurrentDirectory(void) { return readSizedText(currentDirectoryInto, NULL); }

static bool win32ChangeDirectory(const char* path) {
  WCHAR* widePath = toWide(path);
  bool changed = widePath && SetCurrentDirectoryW(widePath);
  free(widePath);
  return changed;
}

static char* win32AbsolutePath(const char* path) { return readSizedText(fullPathInto, path); }

// The C runtime's lookup compares names without regard to case. The UTF-8
// copy is kept until the process ends, as the runtime's own value is.
static const char* win32EnvironmentValue(const char* name) {
  WCHAR* wideName = toWide(name);
  const WCHAR* value = wideName ? _wgetenv(wideName) : NULL;
  free(wideName);
  return value ? fromWide(value) : NULL;
}

static void copyFound(const WIN32_FIND_DATAW* found, ListedEntry* entry) {
  if (!WideCharToMultiByte(CP_UTF8, 0, found->cFileName, -1, entry->name, sizeof entry->name, NULL,
                           NULL))
    entry->name[0] = '\0';
  entry->isDirectory = (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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
  if (!FindNextFileW(static_cast<HANDLE>(listing), &found)) return false;
  copyFound(&found, entry);
  return true;
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
  char* utf8 = NULL;
  if (isTextType(type)) {
    int units = bytes / sizeof(WCHAR);
    const WCHAR* wide = reinterpret_cast<const WCHAR*>(data);
    bytes = units ? WideCharToMultiByte(CP_UTF8, 0, wide, units, NULL, 0, NULL, NULL) : 0;
    utf8 = static_cast<char*>(malloc(bytes + 1));
    if (!utf8) return ERROR_NOT_ENOUGH_MEMORY;
    if (units) WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, bytes, NULL, NULL);
  }
  LONG result = bytes > *size ? ERROR_MORE_DATA : ERROR_SUCCESS;
  if (result == ERROR_SUCCESS) memcpy(buffer, utf8 ? utf8 : reinterpret_cast<char*>(data), bytes);
  *size = bytes;
  free(utf8);
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

// CreateProcessW as startProcess describes it, with the given creation flags.
static bool createProcess(char* commandLine, const char* title, DWORD flags,
                          PROCESS_INFORMATION* info, unsigned long* errorCode) {
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.lpTitle = title ? toWide(title) : NULL;
  memset(info, 0, sizeof *info);
  WCHAR* wideLine = toWide(commandLine);
  flushOutput();
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  BOOL started = wideLine && (!title || startup.lpTitle) &&
                 CreateProcessW(NULL, wideLine, NULL, NULL, TRUE, flags, NULL, NULL, &startup, info);
  *errorCode = started ? 0 : GetLastError();
  free(wideLine);
  free(startup.lpTitle);
  return started;
}

static bool win32StartProcess(char* commandLine, const char* title, ProcessHandle* process,
                              unsigned long* errorCode) {
  PROCESS_INFORMATION info;
  bool started = createProcess(commandLine, title, 0, &info, errorCode);
  if (started) CloseHandle(info.hThread);  // only the process handle is used
  *process = info.hProcess;
  return started;
}

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

static bool win32StartSuspendedProcess(char* commandLine, const char* title,
                                       ProcessHandle* process, ThreadHandle* thread,
                                       unsigned long* processId, unsigned long* errorCode) {
  PROCESS_INFORMATION info;
  bool started = createProcess(commandLine, title, CREATE_SUSPENDED, &info, errorCode);
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

static void win32CloseJob(JobHandle job) { CloseHandle(static_cast<HANDLE>(job)); }

static void win32CloseProcess(ProcessHandle process) { CloseHandle(static_cast<HANDLE>(process)); }

// GetTempFileNameW makes the file, under a name no other file has.
static char* win32WriteTemporaryFile(const char* text, unsigned long* errorCode) {
  WCHAR directory[MAX_PATH + 1], path[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH + 1, directory);
  if (length == 0 || length > MAX_PATH || !GetTempFileNameW(directory, L"jva", 0, path)) {
    *errorCode = GetLastError();
    return NULL;
  }
  WCHAR* wide = toWide(text);
  char* ansi = wide ? fromWide(wide, CP_ACP) : NULL;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  FILE* file = ansi ? _wfopen(path, L"wb") : NULL;
  bool written = file && fputs(ansi, file) >= 0;
  written = file && fclose(file) == 0 && written;
  *errorCode = written ? 0 : GetLastError();
  free(ansi);
  free(wide);
  if (!written) DeleteFileW(path);
  return written ? fromWide(path) : NULL;
}

static bool win32RemoveFile(const char* path) {
  WCHAR* widePath = toWide(path);
  bool removed = widePath && DeleteFileW(widePath);
  free(widePath);
  return removed;
}

// The instance's mark is a named shared memory of one process id: created
// zeroed, it holds 0 until its holder publishes its Java's id. It is gone
// once no handle is left to it, however its holder ended. An object of that
// name that this user may not open (made by an elevated launcher, say) is
// another instance all the same.
static unsigned long readPublished(HANDLE mapping) {
  DWORD* view = static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(DWORD)));
  if (!view) return 0;
  unsigned long processId = *view;
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
  *runningProcess = readPublished(mapping);
  CloseHandle(mapping);
  return kInstanceFound;
}

static void win32PublishInstanceProcess(InstanceHandle mark, unsigned long processId) {
  DWORD* view = static_cast<DWORD*>(MapViewOfFile(static_cast<HANDLE>(mark), FILE_MAP_WRITE, 0,
                                                  0, sizeof(DWORD)));
  if (!view) return;
  *view = processId;
  UnmapViewOfFile(view);
}

static void win32ReleaseInstance(InstanceHandle mark) { CloseHandle(static_cast<HANDLE>(mark)); }

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

static void win32BringWindowsForward(unsigned long processId) {
  WindowsOfProcess windows = {processId, NULL, NULL};
  EnumWindows(raiseWindow, reinterpret_cast<LPARAM>(&windows));
  if (windows.first) SetForegroundWindow(windows.first);
}
#else
static void win32BringWindowsForward(unsigned long) {}
#endif

// Standard output and error get the ANSI code page and stay in the C
// runtime's text mode, so each line feed goes out as CR LF.
static void writeInAnsi(const char* text, FILE* stream) {
  WCHAR* wide = toWide(text);
  char* ansi = wide ? fromWide(wide, CP_ACP) : NULL;
  fputs(ansi ? ansi : text, stream);
  free(ansi);
  free(wide);
}

static void win32WriteOutput(const char* text) { writeInAnsi(text, stdout); }

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
  writeInAnsi(text, stderr);
  fflush(stderr);
}

static void win32ExitProcess(int status) { exit(status); }

static char* win32AnsiToUtf8(const char* text) {
  WCHAR* wide = toWide(text, CP_ACP);
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

static size_t win32AnsiLength(const char* text) {
  WCHAR* wide = toWide(text);
  int length = wide ? WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL) : 0;
  free(wide);
  return length > 0 ? (size_t)length - 1 : strlen(text);
}

// GetShortPathNameW fails for a path that names nothing, and may fail (or
// answer with the path itself) where the volume keeps no short names.
static char* win32ShortPath(const char* path) {
  char* shortForm = readSizedText(shortPathInto, path);
  if (shortForm) return shortForm;
  WCHAR* widePath = toWide(path);
  bool exists = widePath && GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
  free(widePath);
  return exists ? strdup(path) : NULL;
}

// The C runtime leaves a stream unbuffered when it is a character device (a
// console, NUL) and then writes it one byte per system call: a hundred trace
// lines became thousands of writes. Standard output's buffer holds the
// lines of a version resolution over a few hundred installed versions.
static void bufferStandardStreams(void) {
  setvbuf(stdout, NULL, _IOFBF, 32768);
  setvbuf(stderr, NULL, _IOFBF, BUFSIZ);
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

// Java, on the same console, gets the same events and decides what they
// mean. A handler routine, unlike the NULL form of SetConsoleCtrlHandler,
// is not inherited: the NULL form would make Java ignore Ctrl+C. Closing the
// console, logging off and shutting down keep their default handling.
#ifndef CORVANE_SERVICE
static BOOL WINAPI ignoreInterrupt(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

static void win32OutliveConsoleInterrupts(void) { SetConsoleCtrlHandler(ignoreInterrupt, TRUE); }
#endif

// The heap texts handed out above come from malloc too, so one release
// serves every block.
static void* win32Allocate(size_t size) { return malloc(size); }
static void* win32Reallocate(void* block, size_t size) { return realloc(block, size); }
static void win32Release(void* block) { free(block); }

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
    CharUpperBuffW(wideA, lstrlenW(wideA));
    CharUpperBuffW(wideB, lstrlenW(wideB));
    equal = wcscmp(wideA, wideB) == 0;
  }
  free(wideA);
  free(wideB);
  return equal;
}

void installWin32Platform(void) {
  compareOrdinal = reinterpret_cast<CompareOrdinal>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CompareStringOrdinal")));
  bufferStandardStreams();
#ifdef CORVANE_SERVICE
#define LAUNCHERS_ON_A_DESKTOP(function) nullptr
#else
#define LAUNCHERS_ON_A_DESKTOP(function) function
#endif
  platform = PlatformOps{
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
      .startProcess = win32StartProcess,
      .waitForInputIdle = LAUNCHERS_ON_A_DESKTOP(win32WaitForInputIdle),
      .waitForExit = LAUNCHERS_ON_A_DESKTOP(win32WaitForExit),
      .processExitCode = win32ProcessExitCode,
      .writeOutput = win32WriteOutput,
      .writeError = win32WriteError,
      .exitProcess = win32ExitProcess,
      .ansiToUtf8 = win32AnsiToUtf8,
      .ansiCanSpell = win32AnsiCanSpell,
      .shortPath = win32ShortPath,
      .ansiLength = win32AnsiLength,
      .programPath = win32ProgramPath,
      .outliveConsoleInterrupts = LAUNCHERS_ON_A_DESKTOP(win32OutliveConsoleInterrupts),
      .createJob = win32CreateJob,
      .startSuspendedProcess = win32StartSuspendedProcess,
      .assignToJob = win32AssignToJob,
      .resumeThread = win32ResumeThread,
      .closeJob = win32CloseJob,
      .closeProcess = win32CloseProcess,
      .writeTemporaryFile = win32WriteTemporaryFile,
      .removeFile = win32RemoveFile,
      .claimInstance = win32ClaimInstance,
      .publishInstanceProcess = win32PublishInstanceProcess,
      .releaseInstance = win32ReleaseInstance,
      .bringWindowsForward = win32BringWindowsForward,
      .allocate = win32Allocate,
      .reallocate = win32Reallocate,
      .release = win32Release,
      .pathsEqual = win32PathsEqual,
  };
}
