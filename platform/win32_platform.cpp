// The platform table over the real Windows API and the C runtime (msvcrt).
#include "platform/win32_platform.h"

#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"

static int win32MessageBox(const char* text, const char* caption, unsigned style) {
  return MessageBoxA(NULL, text, caption, style);
}

// Asks for the size first, so a directory of any length is read whole.
static char* win32CurrentDirectory(void) {
  DWORD needed = GetCurrentDirectoryA(0, NULL);
  if (needed == 0) return NULL;
  char* directory = static_cast<char*>(malloc(needed + 1));
  if (!directory) return NULL;
  DWORD got = GetCurrentDirectoryA(needed + 1, directory);
  if (got == 0 || got > needed) {
    free(directory);
    return NULL;
  }
  return directory;
}

static bool win32ChangeDirectory(const char* path) { return SetCurrentDirectoryA(path) != 0; }

static char* win32AbsolutePath(const char* path) {
  DWORD needed = GetFullPathNameA(path, 0, NULL, NULL);
  if (needed == 0) return NULL;
  char* full = static_cast<char*>(malloc(needed + 1));
  if (!full) return NULL;
  DWORD got = GetFullPathNameA(path, needed + 1, full, NULL);
  if (got == 0 || got > needed) {
    free(full);
    return NULL;
  }
  return full;
}

// The C runtime's lookup compares names without regard to case.
static const char* win32EnvironmentValue(const char* name) { return getenv(name); }

static void copyFound(const WIN32_FIND_DATAA* found, ListedEntry* entry) {
  memcpy(entry->name, found->cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  entry->isDirectory = (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

static DirectoryListing win32ListFirst(const char* pattern, ListedEntry* entry) {
  WIN32_FIND_DATAA found;
  HANDLE handle = FindFirstFileA(pattern, &found);
  if (handle == INVALID_HANDLE_VALUE) return NULL;
  copyFound(&found, entry);
  return handle;
}

static bool win32ListNext(DirectoryListing listing, ListedEntry* entry) {
  WIN32_FIND_DATAA found;
  if (!FindNextFileA(static_cast<HANDLE>(listing), &found)) return false;
  copyFound(&found, entry);
  return true;
}

static void win32ListClose(DirectoryListing listing) { FindClose(static_cast<HANDLE>(listing)); }

// Opened in binary mode: the line reader does the text-mode translation itself.
static FileHandle win32OpenFile(const char* path, const char** errorText) {
  FILE* file = fopen(path, "rb");
  if (!file) *errorText = strerror(errno);
  return file;
}

static size_t win32ReadFile(FileHandle file, char* buffer, size_t size) {
  return fread(buffer, 1, size, static_cast<FILE*>(file));
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

// Opened through the wide-character call. The ANSI one (Wine's at least)
// converts the path in a buffer of MAX_PATH characters and fails on a longer
// path: the root key's 42 characters and a version name over 217 make one.
static long win32RegistryOpen(RegistryHive hive, RegistryView view, const char* path,
                              RegistryKey* key) {
  *key = NULL;
  int length = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
  if (length == 0) return ERROR_INVALID_NAME;
  WCHAR* widePath = static_cast<WCHAR*>(malloc(sizeof(WCHAR) * static_cast<size_t>(length)));
  if (!widePath) return ERROR_NOT_ENOUGH_MEMORY;
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, length);
  HKEY opened = NULL;
  LONG result = RegOpenKeyExW(rootKeyOf(hive), widePath, 0, KEY_READ | viewFlag(view), &opened);
  free(widePath);
  *key = opened;
  return result;
}

static long win32RegistryQueryValue(RegistryKey key, const char* name, unsigned long* type,
                                    char* buffer, unsigned long* size) {
  DWORD bytes = *size;
  DWORD valueType = 0;
  LONG result = RegQueryValueExA(static_cast<HKEY>(key), name, NULL, &valueType,
                                 reinterpret_cast<BYTE*>(buffer), &bytes);
  *size = bytes;
  if (type) *type = valueType;
  return result;
}

static long win32RegistrySubkeyCount(RegistryKey key, unsigned long* count) {
  char className[260];
  DWORD classLength = sizeof className;
  DWORD subkeys = 0;
  LONG result = RegQueryInfoKeyA(static_cast<HKEY>(key), className, &classLength, NULL, &subkeys,
                                 NULL, NULL, NULL, NULL, NULL, NULL, NULL);
  *count = subkeys;
  return result;
}

static long win32RegistryEnumSubkey(RegistryKey key, unsigned long index, char* name,
                                    unsigned long* size) {
  DWORD length = *size;
  LONG result = RegEnumKeyExA(static_cast<HKEY>(key), index, name, &length, NULL, NULL, NULL, NULL);
  *size = length;
  return result;
}

static void win32RegistryClose(RegistryKey key) { RegCloseKey(static_cast<HKEY>(key)); }

static bool win32StartProcess(char* commandLine, const char* title, ProcessHandle* process,
                              unsigned long* errorCode) {
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.lpTitle = const_cast<char*>(title);
  PROCESS_INFORMATION info;
  memset(&info, 0, sizeof info);
  BOOL started = CreateProcessA(NULL, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &info);
  *errorCode = started ? 0 : GetLastError();
  if (started) CloseHandle(info.hThread);  // only the process handle is used
  *process = info.hProcess;
  return started != 0;
}

static void win32WaitForInputIdle(ProcessHandle process, unsigned long milliseconds) {
  WaitForInputIdle(static_cast<HANDLE>(process), milliseconds);
}

static void win32WaitForExit(ProcessHandle process) {
  WaitForSingleObject(static_cast<HANDLE>(process), INFINITE);
}

static bool win32ProcessExitCode(ProcessHandle process, unsigned long* code) {
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(static_cast<HANDLE>(process), &exitCode)) return false;
  *code = exitCode;
  return true;
}

// Standard output and error stay in the C runtime's text mode, so each line
// feed goes out as CR LF. Each line is flushed at once: the launcher may then
// wait for a long time on the Java process.
static void win32WriteOutput(const char* text) {
  fputs(text, stdout);
  fflush(stdout);
}

static void win32WriteError(const char* text) {
  fputs(text, stderr);
  fflush(stderr);
}

static void win32ExitProcess(int status) { exit(status); }

// The C runtime leaves a stream unbuffered when it is a character device (a
// console, NUL) and then writes it one byte per system call: a hundred trace
// lines became thousands of writes. With a buffer, each flushed line is one write.
static void bufferStandardStreams(void) {
  setvbuf(stdout, NULL, _IOFBF, BUFSIZ);
  setvbuf(stderr, NULL, _IOFBF, BUFSIZ);
}

// Grows the buffer until the path fits: a full buffer may hold a cut path.
static char* win32ProgramPath(void) {
  for (DWORD size = MAX_PATH; size <= 32768 * 4; size *= 2) {
    char* path = static_cast<char*>(malloc(size));
    if (!path) return NULL;
    DWORD got = GetModuleFileNameA(NULL, path, size);
    if (got > 0 && got < size - 1) return path;
    free(path);
    if (got == 0) return NULL;
  }
  return NULL;
}

void installWin32Platform(void) {
  bufferStandardStreams();
  platform = PlatformOps{
      .messageBox = win32MessageBox,
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
      .registryQueryValue = win32RegistryQueryValue,
      .registrySubkeyCount = win32RegistrySubkeyCount,
      .registryEnumSubkey = win32RegistryEnumSubkey,
      .registryClose = win32RegistryClose,
      .startProcess = win32StartProcess,
      .waitForInputIdle = win32WaitForInputIdle,
      .waitForExit = win32WaitForExit,
      .processExitCode = win32ProcessExitCode,
      .writeOutput = win32WriteOutput,
      .writeError = win32WriteError,
      .exitProcess = win32ExitProcess,
      .programPath = win32ProgramPath,
  };
}
