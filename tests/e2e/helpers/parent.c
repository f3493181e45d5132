/* Starts a program as a Windows parent does (a script's cmd.exe, a build
   tool) and records what only such a parent sees, above all the program's
   whole exit code: Wine gives the Unix side its low 8 bits alone.
     parent.exe <the program's command line>
   CORVANE_E2E_PARENT_RECORD   the file to which the record is appended
   CORVANE_E2E_PARENT_CONSOLE  when set, the program gets a console of this
                               program's own (a window on the test's display)
                               as its console and standard handles; the
                               record holds the console's text afterwards
   CORVANE_E2E_PARENT_NO_HANDLES when set, the program gets no standard
                               handles and inherits nothing, as when the shell
                               starts a GUI program
   CORVANE_E2E_PARENT_DETACHED when set, the program is started without a
                               console (DETACHED_PROCESS), with this
                               program's standard handles given to it, as a
                               Python or .NET caller that captures its
                               output does
   CORVANE_E2E_PARENT_SHOW     a number: the program's startup record asks
                               its first window to show so (wShowWindow with
                               STARTF_USESHOWWINDOW), as a shortcut does
   CORVANE_E2E_JAVA_READY      with a console: once this file exists (the
                               stand-in Java creates it when it waits for
                               Ctrl+C), Ctrl+C goes to every program on the
                               console, and this one lets it pass
   Record fields: "exitCode" (signed decimal), "console" (its rows up to the
   cursor's, without trailing blanks, "\n" between them), "ctrlC" ("sent", or
   "failed <error>"). Exits with the program's exit code. */
#include <windows.h>

#include "record.h"

/* A console of its own: Wine gives a program started from Unix one in which
   no console event can be generated. */
static void takeOwnConsole(void) {
  FreeConsole();
  if (!AllocConsole()) exit(96);
}

static const WCHAR* programCommandLine(void) {
  const WCHAR* line = GetCommandLineW();
  if (*line == L'"') {
    for (++line; *line && *line != L'"'; ++line) {}
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

static BOOL WINAPI letPass(DWORD event) { return event == CTRL_C_EVENT; }

static void sendCtrlC(Record* record, const char* readyPath) {
  SetConsoleCtrlHandler(letPass, TRUE);
  for (int waited = 0; GetFileAttributesA(readyPath) == INVALID_FILE_ATTRIBUTES; waited += 20) {
    if (waited > 20000) {
      recordField(record, "ctrlC", "failed: Java never waited for it");
      return;
    }
    Sleep(20);
  }
  char result[64] = "sent";
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0))
    snprintf(result, sizeof result, "failed %lu", GetLastError());
  recordField(record, "ctrlC", result);
}

static void recordConsoleText(Record* record) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(output, &info)) exit(97);
  SHORT width = info.dwSize.X;
  WCHAR* row = (WCHAR*)calloc((size_t)width + 1, sizeof(WCHAR));
  WCHAR* text = (WCHAR*)calloc(((size_t)width + 1) * (info.dwCursorPosition.Y + 1) + 1,
                               sizeof(WCHAR));
  if (!row || !text) exit(90);
  size_t length = 0, kept = 0;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD got = 0;
    COORD at = {0, y};
    if (!ReadConsoleOutputCharacterW(output, row, (DWORD)width, at, &got)) exit(98);
    while (got > 0 && row[got - 1] == L' ') --got;
    if (y > 0) text[length++] = L'\n';
    memcpy(text + length, row, got * sizeof(WCHAR));
    length += got;
    if (got) kept = length;  /* rows left empty at the end are dropped */
  }
  text[kept] = 0;
  recordWideField(record, "console", text);
  free(text);
  free(row);
}

int main(void) {
  const char* recordPath = getenv("CORVANE_E2E_PARENT_RECORD");
  int ownConsole = getenv("CORVANE_E2E_PARENT_CONSOLE") != NULL;
  const char* readyPath = getenv("CORVANE_E2E_JAVA_READY");
  if (!recordPath) return 99;
  if (ownConsole) takeOwnConsole();

  WCHAR* line = _wcsdup(programCommandLine());
  STARTUPINFOW startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  const char* show = getenv("CORVANE_E2E_PARENT_SHOW");
  if (show) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)atoi(show);
  }
  DWORD flags = 0;
  int noHandles = getenv("CORVANE_E2E_PARENT_NO_HANDLES") != NULL;
  if (noHandles) startup.dwFlags = STARTF_USESTDHANDLES; /* and every handle NULL */
  if (getenv("CORVANE_E2E_PARENT_DETACHED")) {
    flags = DETACHED_PROCESS;
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process;
  if (!line ||
      !CreateProcessW(NULL, line, NULL, NULL, !noHandles, flags, NULL, NULL, &startup, &process))
    return 99;
  Record record = {0};
  if (ownConsole && readyPath) sendCtrlC(&record, readyPath);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  char number[16];
  snprintf(number, sizeof number, "%ld", (long)(LONG)code);
  recordField(&record, "exitCode", number);
  if (ownConsole) recordConsoleText(&record);
  if (recordSave(&record, recordPath) != 0) return 91;
  return (int)code;
}
