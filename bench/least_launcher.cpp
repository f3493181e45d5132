// The least a launcher can do, to compare ours with: start the command line
// it was given (its own command line without its program name), wait for the
// new process to become idle and then to end, exactly as our launcher does,
// and nothing else.
#include <windows.h>

// The command line after the program name and the blanks that follow it.
static char* commandAfterProgramName(char* line) {
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
    if (*line == '"') quoted = !quoted;
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

extern "C" int __stdcall WinMain(HINSTANCE, HINSTANCE, char*, int) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(NULL, commandAfterProgramName(GetCommandLineA()), NULL, NULL, TRUE, 0, NULL,
                      NULL, &startup, &process))
    return 1;
  WaitForInputIdle(process.hProcess, 5000);
  WaitForSingleObject(process.hProcess, INFINITE);
  return 0;
}
