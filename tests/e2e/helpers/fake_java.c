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
   Nothing is written to standard output or error: the launcher's child
   inherits its handles, and the test reads the launcher's output there.
   A command-line tool's behaviours, each only when its variable is set:
     CORVANE_E2E_JAVA_STDOUT  written to standard output (in UTF-8, as is)
     CORVANE_E2E_JAVA_STDERR  then written to standard error
     CORVANE_E2E_JAVA_ECHO    then standard input is copied to standard output
     CORVANE_E2E_JAVA_READY   then, once its handler is in place, this file is
                              created and Ctrl+C waited for (at most 20 s); the
                              record's "consoleEvent" tells what came
     CORVANE_E2E_JAVA_DEAF    Ctrl+C is ignored from the start (with HOLD, it
                              stays until it is ended)
   A stand-in that a service starts gets no variable of the test's: it reads
   them, one NAME=value a line ("%0A" in a value for a line end), from
   stand-in.env beside itself, when there is one. */
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

static void behaveAsATool(Record* record) {
  writeVariable(L"CORVANE_E2E_JAVA_STDOUT", stdout);
  writeVariable(L"CORVANE_E2E_JAVA_STDERR", stderr);
  if (getenv("CORVANE_E2E_JAVA_ECHO")) copyInput();
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

/* stand-in.env beside the program: each line a variable to set. */
static void readVariablesBesideMe(void) {
  char path[MAX_PATH + 16];
  DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\') --length;
  strcpy(path + length, "stand-in.env");
  FILE* file = fopen(path, "rb");
  if (!file) return;
  char line[1024];
  while (fgets(line, sizeof line, file)) {
    line[strcspn(line, "\r\n")] = '\0';
    char* end = line;
    for (const char* p = line; *p; ++p, ++end) {
      if (strncmp(p, "%0A", 3) == 0) {
        *end = '\n';
        p += 2;
      } else {
        *end = *p;
      }
    }
    *end = '\0';
    if (strchr(line, '=')) _putenv(_strdup(line));
  }
  fclose(file);
}

int main(int argc, char** argv) {
  readVariablesBesideMe();
  if (getenv("CORVANE_E2E_JAVA_DEAF")) SetConsoleCtrlHandler(NULL, TRUE);
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
  recordField(&record, "codePage", codePage);
  behaveAsATool(&record);

  if (path && recordSave(&record, path) != 0) return 91;
  const char* hold = getenv("CORVANE_E2E_JAVA_HOLD");
  if (hold) holdUntil(hold);
  if (window) reportWindow(window, windowReport);
  const char* exitCode = getenv("CORVANE_E2E_JAVA_EXIT");
  return exitCode ? atoi(exitCode) : 0;
}
