/* Stand-in for java.exe / javaw.exe. It records how it was started and ends
   with the exit code the test asks for:
     CORVANE_E2E_JAVA_RECORD  file to which the record is appended
     CORVANE_E2E_JAVA_EXIT    exit code (decimal), 0 when unset
   and, for the cases of Java's lifetime:
     CORVANE_E2E_JAVA_SPAWN   a program to start (once the behaviours below
                              are done), which lives on (it gets the
                              environment without RECORD, SPAWN and the
                              tool's behaviours below)
     CORVANE_E2E_JAVA_SPAWN_INHERITS  when set, that program inherits this
                              one's handles, its standard ones included
     CORVANE_E2E_JAVA_SPAWN_HOLD  that program's CORVANE_E2E_JAVA_HOLD
     CORVANE_E2E_JAVA_WINDOW  a file: show a minimised top-level window, and
                              write "iconic 0" or "iconic 1" there at the end
     CORVANE_E2E_JAVA_HOLD    a file: once the record is saved, stay alive
                              until that file exists (at most a minute)
   For restarts and updates:
     CORVANE_E2E_JAVA_EXITS   exit codes by run, e.g. "3,0": the Nth run of
                              the stand-in (counted by the records already in
                              RECORD) ends with the Nth, the last repeating;
                              instead of CORVANE_E2E_JAVA_EXIT
     CORVANE_E2E_JAVA_STAGE   "<from>><to>": a folder moved (renamed) to an
                              update folder, when it is there, as an
                              application that downloaded its next version
     CORVANE_E2E_JAVA_SHOW    a file whose bytes are recorded as "shown"
     CORVANE_E2E_JAVA_LOCK    a file held open without FILE_SHARE_DELETE (as
                              another running copy holds its jars) from before
                              the record is saved until the stand-in ends
     CORVANE_E2E_JAVA_RELEASE a file created once the record is saved (it
                              lets a stand-in held by CORVANE_E2E_JAVA_HOLD go)
   The parent process's id is recorded as "parent".
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
                              record's "consoleEvent" tells what came
   and, for Java's output:
     CORVANE_E2E_JAVA_FLOOD   first, this many bytes (decimal) written to both
                              streams in writes of many sizes, each straight to
                              its handle (harness/flood.py makes the same bytes)
     CORVANE_E2E_JAVA_DEAF    Ctrl+C is ignored from the start (with HOLD, it
                              stays until it is ended)
   A stand-in that a service starts gets no variable of the test's: it reads
   them, one NAME=value a line ("%0A" in a value for a line end), from
   stand-in.env beside itself, when there is one. */
#include <windows.h>

#include <tlhelp32.h>

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

/* Write i of the flood: its size from the cycle below, to standard error
   every third time, else to standard output; a letter for the stream, the
   write's number, then letters running on from the number, and a line break
   last. */
static const DWORD kFloodSizes[] = {7, 1, 100, 65549, 3, 250000, 40, 4096};
enum { kLargestFloodWrite = 250000 };

static void flood(const char* total) {
  static char bytes[kLargestFloodWrite];
  long long left = _atoi64(total);
  for (unsigned i = 0; left > 0; ++i) {
    DWORD size = kFloodSizes[i % (sizeof kFloodSizes / sizeof kFloodSizes[0])];
    int error = i % 3 == 2;
    int head = snprintf(bytes, sizeof bytes, "%c%08u|", error ? 'E' : 'O', i);
    for (DWORD j = head; j < size; ++j) bytes[j] = (char)('a' + (i + j) % 26);
    if (size > 1) bytes[size - 1] = '\n';
    DWORD written = 0;
    HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (!WriteFile(stream, bytes, size, &written, NULL) || written != size) exit(89);
    left -= size;
  }
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
  const char* total = getenv("CORVANE_E2E_JAVA_FLOOD");
  if (total) flood(total);
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

/* The C runtime's copy of the environment, which getenv reads, stays as it
   was: only the program started here sees the changes. */
static void spawn(const char* program) {
  static const char* const kNotPassedOn[] = {
      "CORVANE_E2E_JAVA_RECORD", "CORVANE_E2E_JAVA_SPAWN", "CORVANE_E2E_JAVA_STDOUT",
      "CORVANE_E2E_JAVA_STDERR", "CORVANE_E2E_JAVA_FLOOD", "CORVANE_E2E_JAVA_ECHO",
      "CORVANE_E2E_JAVA_READY", "CORVANE_E2E_JAVA_SPAWN_INHERITS", "CORVANE_E2E_JAVA_SPAWN_HOLD"};
  BOOL inherits = getenv("CORVANE_E2E_JAVA_SPAWN_INHERITS") != NULL;
  const char* hold = getenv("CORVANE_E2E_JAVA_SPAWN_HOLD");
  if (hold) SetEnvironmentVariableA("CORVANE_E2E_JAVA_HOLD", hold);
  for (size_t i = 0; i < sizeof kNotPassedOn / sizeof kNotPassedOn[0]; ++i)
    SetEnvironmentVariableA(kNotPassedOn[i], NULL);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  char* line = _strdup(program);
  if (!line ||
      !CreateProcessA(NULL, line, NULL, NULL, inherits, 0, NULL, NULL, &startup, &started))
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

static unsigned long parentProcess(void) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  unsigned long parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent;
}

/* How many records the file holds: the runs of the stand-in before this one. */
static int runsBefore(const char* path) {
  FILE* file = path ? fopen(path, "rb") : NULL;
  if (!file) return 0;
  int runs = 0, c, column = 0;
  static const char kEnd[] = "end 0:\n";
  while ((c = fgetc(file)) != EOF) {
    column = c == kEnd[column] ? column + 1 : c == kEnd[0] ? 1 : 0;
    if (column == (int)sizeof kEnd - 1) {
      runs += 1;
      column = 0;
    }
  }
  fclose(file);
  return runs;
}

/* The run-th of a comma-separated list of exit codes, the last repeating. */
static int exitCodeOfRun(const char* codes, int run) {
  const char* code = codes;
  for (int i = 0; i < run && strchr(code, ','); ++i) code = strchr(code, ',') + 1;
  return atoi(code);
}

static void stage(const char* fromTo) {
  char* from = _strdup(fromTo);
  char* to = from ? strchr(from, '>') : NULL;
  if (!to) exit(96);
  *to++ = '\0';
  if (GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES && !MoveFileA(from, to)) exit(97);
  free(from);
}

static void recordShown(Record* record, const char* path) {
  static char content[1 << 16];
  FILE* file = fopen(path, "rb");
  size_t length = file ? fread(content, 1, sizeof content - 1, file) : 0;
  if (file) fclose(file);
  content[length] = '\0';
  recordField(record, "shown", file ? content : "<missing>");
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
  char* hold = variable("CORVANE_E2E_JAVA_HOLD");
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
  char parent[16];
  snprintf(parent, sizeof parent, "%lu", parentProcess());
  recordField(&record, "parent", parent);
  const char* shown = getenv("CORVANE_E2E_JAVA_SHOW");
  if (shown) recordShown(&record, shown);
  const char* locked = getenv("CORVANE_E2E_JAVA_LOCK");
  if (locked && CreateFileA(locked, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL) ==
                    INVALID_HANDLE_VALUE)
    exit(98);
  behaveAsATool(&record, argc, argv);
  const char* fromTo = getenv("CORVANE_E2E_JAVA_STAGE");
  if (fromTo) stage(fromTo);
  int run = runsBefore(path);

  if (program) spawn(program);  /* last: it changes the environment for the program */

  if (path && recordSave(&record, path) != 0) return 91;
  const char* release = getenv("CORVANE_E2E_JAVA_RELEASE");
  FILE* released = release ? fopen(release, "wb") : NULL;
  if (released) fclose(released);
  if (hold) holdUntil(hold);
  if (window) reportWindow(window, windowReport);
  const char* exitCodes = getenv("CORVANE_E2E_JAVA_EXITS");
  if (exitCodes) return exitCodeOfRun(exitCodes, run);
  const char* exitCode = getenv("CORVANE_E2E_JAVA_EXIT");
  return exitCode ? atoi(exitCode) : 0;
}
