/* Stand-in for java.exe / javaw.exe. It records how it was started and ends
   with the exit code the test asks for:
     CORVANE_E2E_JAVA_RECORD  file to which the record is appended
     CORVANE_E2E_JAVA_EXIT    exit code (decimal), 0 when unset
   Nothing is written to standard output or error: the launcher's child
   inherits its handles, and the test reads the launcher's output there. */
#include <windows.h>

#include "record.h"

static char* currentDirectory(void) {
  DWORD needed = GetCurrentDirectoryA(0, NULL);
  char* directory = (char*)calloc(needed + 1, 1);
  if (directory) GetCurrentDirectoryA(needed + 1, directory);
  return directory ? directory : (char*)"";
}

int main(int argc, char** argv) {
  char image[4096] = "";
  GetModuleFileNameA(NULL, image, sizeof image);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);

  Record record = {0};
  recordField(&record, "image", image);
  recordField(&record, "commandLine", GetCommandLineA());
  for (int i = 0; i < argc; ++i) recordField(&record, "arg", argv[i]);
  recordField(&record, "cwd", currentDirectory());
  if (startup.lpTitle) recordField(&record, "title", startup.lpTitle);

  const char* path = getenv("CORVANE_E2E_JAVA_RECORD");
  if (path && recordSave(&record, path) != 0) return 91;
  const char* exitCode = getenv("CORVANE_E2E_JAVA_EXIT");
  return exitCode ? atoi(exitCode) : 0;
}
