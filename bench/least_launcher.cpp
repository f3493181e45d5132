// The least a launcher can do, to compare ours with: start the command line
// it was given (its own command line without its program name) in a job that
// ends it with the launcher, wait for the new process to become idle and then
// to end, exactly as our launcher does, and nothing else. Built with
// WITHOUT_JOB (least_launcher_without_job.exe) it starts the command as the
// launcher did before it held Java in a job, to tell what the job costs.
// It starts as the launcher does: at an entry of its own, without the C
// runtime's start-up code, and it ends through the runtime's exit.
// Built with WITH_LOG_PIPE (least_launcher_with_log.exe) it gives Java one
// pipe for its standard output and error, and copies what it reads there
// into the file that LEAST_LOG names, in reads of 64 KiB: the least a
// launcher with Java's log can do, to tell what Wine's pipes cost.
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

#ifdef WITH_LOG_PIPE
static HANDLE pipeReader;

static void givePipe(STARTUPINFOA* startup) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
  HANDLE writer;
  CreatePipe(&pipeReader, &writer, &inherited, 65536);
  SetHandleInformation(pipeReader, HANDLE_FLAG_INHERIT, 0);
  startup->dwFlags = STARTF_USESTDHANDLES;
  startup->hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup->hStdOutput = startup->hStdError = writer;
}

static void copyPipe(void) {
  char path[MAX_PATH] = "least.log";
  GetEnvironmentVariableA("LEAST_LOG", path, sizeof path);
  HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
  static char buffer[65536];
  DWORD got, written;
  while (ReadFile(pipeReader, buffer, sizeof buffer, &got, NULL) && got)
    WriteFile(log, buffer, got, &written, NULL);
  CloseHandle(log);
}
#endif

static int launch(void) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
#ifdef WITH_LOG_PIPE
  givePipe(&startup);
#endif
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
#ifdef WITH_LOG_PIPE
  CloseHandle(startup.hStdOutput);
  copyPipe();
#endif
  WaitForInputIdle(process.hProcess, 5000);
  WaitForSingleObject(process.hProcess, INFINITE);
  return 0;
}

extern "C" [[noreturn]] void corvaneStart(void) { exit(launch()); }
