/* Stand-in for java.exe / javaw.exe. It records how it was started and ends
   with the exit code the test asks for:
     CORVANE_E2E_JAVA_RECORD  file to which the record is appended
     CORVANE_E2E_JAVA_EXIT    exit code (decimal), 0 when unset
   and, for the cases of Java's lifetime:
     CORVANE_E2E_JAVA_SPAWN   a program to start first, which lives on (it
                              gets the environment without RECORD and SPAWN)
     CORVANE_E2E_JAVA_WINDOW  a file: show a minimised top-level window, and
                              write "iconic 0" or "iconic 1" there at the end
     CORVANE_E2E_JAVA_HOLD    a file: once the record is saved, stay alive
                              until that file exists (at most a minute)
   An argument "@file" (an argument file) is recorded as argfilePath, and the
   file's bytes as argfile, read through the calls ending in A as Java would.
   Java's own launcher reads its command line in the ANSI code page, so that
   view is recorded as it is (commandLine, and the C runtime's narrow argv
   parsed from it), next to the wide one. For each argument, "found" tells
   which of its ';'-separated pieces name an existing file or folder through
   the calls ending in A, as Java would open them: '1' or '0' for each piece.
   From its startup record: "startupFlags" (dwFlags in hexadecimal),
   "showWindow" (wShowWindow, decimal) and "title" (lpTitle, when there is
   one); "consoleWindow" ("yes" or "no") tells whether its console has a
   window.
   Nothing is written to standard output or error: the launcher's child
   inherits its handles, and the test reads the launcher's output there.
   A command-line tool's behaviours, each only when its variable is set:
     CORVANE_E2E_JAVA_STDOUT  written to standard output (in UTF-8, as is)
     CORVANE_E2E_JAVA_STDERR  then written to standard error
     CORVANE_E2E_JAVA_ECHO    then standard input is copied to standard output
     CORVANE_E2E_JAVA_CAT     then the last argument, a file name as Java gets
                              it (a relative one from the current directory),
                              is copied to standard output; one that cannot be
                              opened gets "cannot open <name>" on standard error
     CORVANE_E2E_JAVA_READY   then, once its handler is in place, this file is
                              created and Ctrl+C waited for (at most 20 s); the
                              record's "consoleEvent" tells what came */
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "record.h"

static HANDLE interrupted;

static BOOL WINAPI onConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  SetEvent(interrupted);
  return TRUE;
}

static void writeVariable(const WCHAR* name, FILE* stream) {
  const WCHAR* value = _wgetenv(name);
  if (!value) return;
  char* text = utf8FromWide(value);
  _setmode(_fileno(stream), _O_BINARY);
  fputs(text, stream);
  fflush(stream);
  free(text);
}

static void copyInput(void) {
  char buffer[4096];
  size_t got;
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  while ((got = fread(buffer, 1, sizeof buffer, stdin)) > 0) fwrite(buffer, 1, got, stdout);
  fflush(stdout);
}

static void waitForInterrupt(Record* record, const char* readyPath) {
  interrupted = CreateEventW(NULL, TRUE, FALSE, NULL);
  if (!interrupted || !SetConsoleCtrlHandler(onConsoleEvent, TRUE)) exit(94);
  FILE* ready = fopen(readyPath, "wb");
  if (!ready) exit(95);
  fclose(ready);
  DWORD waited = WaitForSingleObject(interrupted, 20000);
  recordField(record, "consoleEvent", waited == WAIT_OBJECT_0 ? "ctrl-c" : "none");
}

static void copyFile(const char* name) {
  char buffer[4096];
  size_t got;
  FILE* file = fopen(name, "rb");
  if (!file) {
    fprintf(stderr, "cannot open %s\n", name);
    fflush(stderr);
    return;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) fwrite(buffer, 1, got, stdout);
  fflush(stdout);
  fclose(file);
}

static void behaveAsATool(Record* record, int argc, char** argv) {
  writeVariable(L"CORVANE_E2E_JAVA_STDOUT", stdout);
  writeVariable(L"CORVANE_E2E_JAVA_STDERR", stderr);
  if (getenv("CORVANE_E2E_JAVA_ECHO")) copyInput();
  if (getenv("CORVANE_E2E_JAVA_CAT") && argc > 1) copyFile(argv[argc - 1]);
  const char* readyPath = getenv("CORVANE_E2E_JAVA_READY");
  if (readyPath) waitForInterrupt(record, readyPath);
}

static WCHAR* currentDirectory(void) {
  DWORD needed = GetCurrentDirectoryW(0, NULL);
  WCHAR* directory = (WCHAR*)calloc(needed + 1, sizeof(WCHAR));
  if (!directory) exit(90);
  GetCurrentDirectoryW(needed + 1, directory);
  return directory;
}

static int exists(const char* path) {
  return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

static void recordFound(Record* record, const char* argument) {
  char* pieces = _strdup(argument);
  char* found = (char*)calloc(strlen(argument) + 2, 1);
  if (!pieces || !found) exit(90);
  size_t count = 0;
  for (char* piece = pieces;; ++count) {
    char* end = strchr(piece, ';');
    if (end) *end = '\0';
    found[count] = exists(piece) ? '1' : '0';
    if (!end) break;
    piece = end + 1;
  }
  recordField(record, "found", found);
  free(found);
  free(pieces);
}

static void spawn(const char* program) {
  SetEnvironmentVariableA("CORVANE_E2E_JAVA_RECORD", NULL);
  SetEnvironmentVariableA("CORVANE_E2E_JAVA_SPAWN", NULL);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  char* line = _strdup(program);
  if (!line || !CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started))
    exit(92);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  free(line);
}

static void recordArgumentFile(Record* record, const char* argument) {
  FILE* file = fopen(argument + 1, "rb");
  if (!file) return;
  static char content[1 << 20];
  size_t length = fread(content, 1, sizeof content - 1, file);
  fclose(file);
  content[length] = '\0';
  recordField(record, "argfilePath", argument + 1);
  recordField(record, "argfile", content);
}

static HWND showMinimisedWindow(void) {
  WNDCLASSA windowClass;
  memset(&windowClass, 0, sizeof windowClass);
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "CorvaneStandIn";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("CorvaneStandIn", "Stand-in Java", WS_OVERLAPPEDWINDOW, 10, 10, 200,
                              100, NULL, NULL, windowClass.hInstance, NULL);
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  return window;
}

/* Answers the window's messages until the file exists. */
static void holdUntil(const char* path) {
  for (int waited = 0; waited < 60000 && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
       waited += 20) {
    MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

static void reportWindow(HWND window, const char* path) {
  FILE* file = fopen(path, "wb");
  if (!file) exit(93);
  fprintf(file, "iconic %d\n", IsIconic(window) ? 1 : 0);
  fclose(file);
}

/* A copy of the variable's value (NULL when unset), kept whatever the
   environment becomes. */
static char* variable(const char* name) {
  const char* value = getenv(name);
  return value ? _strdup(value) : NULL;
}

int main(int argc, char** argv) {
  char* path = variable("CORVANE_E2E_JAVA_RECORD");
  char* program = variable("CORVANE_E2E_JAVA_SPAWN");
  if (program) spawn(program);
  const char* windowReport = getenv("CORVANE_E2E_JAVA_WINDOW");
  HWND window = windowReport ? showMinimisedWindow() : NULL;
  WCHAR image[32768] = L"";
  GetModuleFileNameW(NULL, image, sizeof image / sizeof image[0]);
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  char codePage[16];
  snprintf(codePage, sizeof codePage, "%u", GetACP());

  Record record = {0};
  recordWideField(&record, "image", image);
  recordField(&record, "commandLine", GetCommandLineA());
  recordWideField(&record, "wideCommandLine", GetCommandLineW());
  for (int i = 0; i < argc; ++i) {
    recordField(&record, "arg", argv[i]);
    recordFound(&record, argv[i]);
    if (argv[i][0] == '@') recordArgumentFile(&record, argv[i]);
  }
  WCHAR* directory = currentDirectory();
  recordWideField(&record, "cwd", directory);
  free(directory);
  if (startup.lpTitle) recordWideField(&record, "title", startup.lpTitle);
  char number[16];
  snprintf(number, sizeof number, "%lx", (unsigned long)startup.dwFlags);
  recordField(&record, "startupFlags", number);
  snprintf(number, sizeof number, "%u", (unsigned)startup.wShowWindow);
  recordField(&record, "showWindow", number);
  recordField(&record, "consoleWindow", GetConsoleWindow() ? "yes" : "no");
  recordField(&record, "codePage", codePage);
  behaveAsATool(&record, argc, argv);

  if (path && recordSave(&record, path) != 0) return 91;
  const char* hold = getenv("CORVANE_E2E_JAVA_HOLD");
  if (hold) holdUntil(hold);
  if (window) reportWindow(window, windowReport);
  const char* exitCode = getenv("CORVANE_E2E_JAVA_EXIT");
  return exitCode ? atoi(exitCode) : 0;
}
