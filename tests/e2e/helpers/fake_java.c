/* Stand-in for java.exe / javaw.exe. It records how it was started and ends
   with the exit code the test asks for:
     CORVANE_E2E_JAVA_RECORD  file to which the record is appended
     CORVANE_E2E_JAVA_EXIT    exit code (decimal), 0 when unset
   Java's own launcher reads its command line in the ANSI code page, so that
   view is recorded as it is (commandLine, and the C runtime's narrow argv
   parsed from it), next to the wide one. For each argument, "found" tells
   which of its ';'-separated pieces name an existing file or folder through
   the calls ending in A, as Java would open them: '1' or '0' for each piece.
   Nothing is written to standard output or error: the launcher's child
   inherits its handles, and the test reads the launcher's output there. */
#include <windows.h>

#include "record.h"

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

int main(int argc, char** argv) {
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
  }
  WCHAR* directory = currentDirectory();
  recordWideField(&record, "cwd", directory);
  free(directory);
  if (startup.lpTitle) recordWideField(&record, "title", startup.lpTitle);
  recordField(&record, "codePage", codePage);

  const char* path = getenv("CORVANE_E2E_JAVA_RECORD");
  if (path && recordSave(&record, path) != 0) return 91;
  const char* exitCode = getenv("CORVANE_E2E_JAVA_EXIT");
  return exitCode ? atoi(exitCode) : 0;
}
