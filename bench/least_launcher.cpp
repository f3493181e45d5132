// The least a launcher can do, to compare ours with: start the command line
// it was given (its own command line without its program name) in a job that
// ends it with the launcher, wait for the new process to become idle and then
// to end, exactly as our launcher does, and nothing else. Built with
// WITHOUT_JOB (least_launcher_without_job.exe) it starts the command as the
// launcher did before it held Java in a job, to tell what the job costs.
// It starts as the launcher does: at an entry of its own, without the C
// runtime's start-up code, and it ends through the runtime's exit.
#include <windows.h>

#include <stdlib.h>

// The command line after the program name and the blanks that follow it.
static char* commandAfterProgramName(char* line) {
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
    if (*line == '"') quoted = !quoted;
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

static int launch(void) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
#ifdef WITHOUT_JOB
  if (!CreateProcessA(NULL, commandAfterProgramName(GetCommandLineA()), NULL, NULL, TRUE, 0, NULL,
                      NULL, &startup, &process))
    return 1;
#else
  HANDLE job = CreateJobObjectA(NULL, NULL);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  ZeroMemory(&limits, sizeof limits);
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  if (!CreateProcessA(NULL, commandAfterProgramName(GetCommandLineA()), NULL, NULL, TRUE,
                      CREATE_SUSPENDED, NULL, NULL, &startup, &process))
    return 1;
  AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
#endif
  WaitForInputIdle(process.hProcess, 5000);
  WaitForSingleObject(process.hProcess, INFINITE);
  return 0;
}

extern "C" [[noreturn]] void corvaneStart(void) { exit(launch()); }
