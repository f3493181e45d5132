// A stand-in for javaw.exe in the start-up measurements: it ends at once,
// unless STANDIN_SLEEP_MS asks it to stay a while (as a running application
// would). When STANDIN_RECORD names a file, it first writes its command line
// there, so that a run can be checked and replayed.
#include <windows.h>

#include <stdlib.h>

static void recordCommandLine(const char* path) {
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  WriteFile(file, line, lstrlenA(line), &written, NULL);
  CloseHandle(file);
}

static bool environmentValue(const char* name, char* value, DWORD size) {
  DWORD length = GetEnvironmentVariableA(name, value, size);
  return length > 0 && length < size;
}

extern "C" int __stdcall WinMain(HINSTANCE, HINSTANCE, char*, int) {
  char value[MAX_PATH];
  if (environmentValue("STANDIN_RECORD", value, sizeof value)) recordCommandLine(value);
  if (environmentValue("STANDIN_SLEEP_MS", value, sizeof value)) Sleep(strtoul(value, NULL, 10));
  return 0;
}
