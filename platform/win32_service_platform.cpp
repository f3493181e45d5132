// The service table's entries over the Windows API (ADVAPI32 and KERNEL32),
// linked into the service launcher alone, which binds them when it is
// compiled (win32_service_platform.h).
#include "platform/service_platform.h"

#include <windows.h>

#include <stddef.h>
#include <stdlib.h>
#include <tlhelp32.h>
#include <string.h>
#include <wchar.h>

#include "platform/win32_text.h"

static bool succeeded(BOOL done, unsigned long* error) {
  *error = done ? 0 : GetLastError();
  return done;
}

static bool noMemory(unsigned long* error) {
  *error = ERROR_NOT_ENOUGH_MEMORY;
  return false;
}

static ServiceHandle handleOrError(SC_HANDLE handle, unsigned long* error) {
  succeeded(handle != NULL, error);
  return handle;
}

ServiceHandle win32OpenServiceManager(ServiceAccess access, unsigned long* error) {
  DWORD rights = SC_MANAGER_CONNECT | (access == kAccessChange ? SC_MANAGER_CREATE_SERVICE : 0);
  return handleOrError(OpenSCManagerW(NULL, NULL, rights), error);
}

static DWORD serviceRights(ServiceAccess access) {
  if (access == kAccessChange) return SERVICE_ALL_ACCESS;
  return SERVICE_QUERY_STATUS | (access == kAccessControl ? SERVICE_START | SERVICE_STOP : 0);
}

ServiceHandle win32OpenService(ServiceHandle manager, const char* name, ServiceAccess access,
                               unsigned long* error) {
  WCHAR* wideName = toWide(name);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  SC_HANDLE service =
      wideName ? OpenServiceW(static_cast<SC_HANDLE>(manager), wideName, serviceRights(access))
               : NULL;
  free(wideName);
  return handleOrError(service, error);
}

// CreateServiceW with a manager, ChangeServiceConfigW without: the main
// fields in UTF-16, a built-in account with an empty password. The
// dependencies become the list Windows takes: each name ended by a NUL
// (where the '/' after it was), the list by the text's own.
static SC_HANDLE writeMainFields(SC_HANDLE manager, SC_HANDLE service, const char* name,
                                 const ServiceConfig* config, unsigned long* error) {
  enum { kDisplay, kCommand, kAccount, kDependencies, kName, kTexts };
  const char* texts[kTexts] = {config->displayName, config->command, config->account,
                               config->dependencies, manager ? name : ""};
  WCHAR* wide[kTexts];
  bool converted = true;
  for (int i = 0; i < kTexts; ++i) converted = (wide[i] = toWide(texts[i])) && converted;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  if (!converted) {
    service = NULL;
  } else {
    for (WCHAR* c = wide[kDependencies]; *c; ++c)
      if (*c == L'/') *c = 0;
    if (manager)
      service =
          CreateServiceW(manager, wide[kName], wide[kDisplay], SERVICE_ALL_ACCESS,
                         SERVICE_WIN32_OWN_PROCESS, config->startType, SERVICE_ERROR_NORMAL,
                         wide[kCommand], NULL, NULL, wide[kDependencies], wide[kAccount], L"");
    else if (!ChangeServiceConfigW(service, SERVICE_NO_CHANGE, config->startType, SERVICE_NO_CHANGE,
                                   wide[kCommand], NULL, NULL, wide[kDependencies], wide[kAccount],
                                   L"", wide[kDisplay]))
      service = NULL;
  }
  succeeded(service != NULL, error);
  for (WCHAR* text : wide) free(text);
  return service;
}

ServiceHandle win32CreateService(ServiceHandle manager, const char* name,
                                 const ServiceConfig* config, unsigned long* error) {
  return writeMainFields(static_cast<SC_HANDLE>(manager), NULL, name, config, error);
}

bool win32ChangeServiceConfig(ServiceHandle service, const ServiceConfig* config,
                              unsigned long* error) {
  return writeMainFields(NULL, static_cast<SC_HANDLE>(service), NULL, config, error) != NULL;
}

// A ServiceAction is an SC_ACTION: a list of one is handed over as it is.
static_assert(sizeof(ServiceAction) == sizeof(SC_ACTION) &&
                  offsetof(ServiceAction, delayMilliseconds) == offsetof(SC_ACTION, Delay),
              "ServiceAction is laid out as SC_ACTION");

// The level of each setting (ServiceSetting's order), and where the
// settings of one number lie in a ServiceConfig.
static const unsigned char kSettingLevels[] = {
    SERVICE_CONFIG_DESCRIPTION, SERVICE_CONFIG_DELAYED_AUTO_START_INFO,
    SERVICE_CONFIG_FAILURE_ACTIONS, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG,
    SERVICE_CONFIG_PRESHUTDOWN_INFO};
static const unsigned char kNumberFields[] = {
    0, offsetof(ServiceConfig, delayedStart), 0, offsetof(ServiceConfig, failureOnNonCrash),
    offsetof(ServiceConfig, preshutdownMilliseconds)};
static_assert(sizeof(unsigned long) == sizeof(DWORD) && sizeof(DWORD) == sizeof(BOOL),
              "a setting of one number is the record Windows takes for it");

static DWORD* numberField(ServiceConfig* config, ServiceSetting setting) {
  return reinterpret_cast<DWORD*>(reinterpret_cast<char*>(config) + kNumberFields[setting]);
}

// Restart actions need SERVICE_START, which the handle has; with no action,
// a list of none (not a NULL one) deletes the earlier actions.
bool win32SetServiceSetting(ServiceHandle service, ServiceSetting setting,
                            const ServiceConfig* config, unsigned long* error) {
  static SC_ACTION none = {SC_ACTION_NONE, 0};
  SERVICE_DESCRIPTIONW description = {NULL};
  SERVICE_FAILURE_ACTIONSW failure = {
      config->failureResetSeconds, NULL, NULL, config->failureActionCount,
      config->failureActionCount ? reinterpret_cast<SC_ACTION*>(config->failureActions) : &none};
  void* info = numberField(const_cast<ServiceConfig*>(config), setting);
  if (setting == kSettingFailureActions) info = &failure;
  if (setting == kSettingDescription) {
    info = &description;
    if (!(description.lpDescription = toWide(config->description))) return noMemory(error);
  }
  BOOL set = ChangeServiceConfig2W(static_cast<SC_HANDLE>(service), kSettingLevels[setting], info);
  free(description.lpDescription);
  return succeeded(set, error);
}

static bool copyFailureActions(const SERVICE_FAILURE_ACTIONSW* failure, ServiceConfig* config) {
  config->failureResetSeconds = failure->dwResetPeriod;
  DWORD count = failure->lpsaActions ? failure->cActions : 0;
  config->failureActions = static_cast<ServiceAction*>(malloc(sizeof(ServiceAction) * (count + 1)));
  if (!config->failureActions) return false;
  if (count) memcpy(config->failureActions, failure->lpsaActions, sizeof(ServiceAction) * count);
  config->failureActionCount = count;
  return true;
}

// Each setting in one call: Windows answers with at most 8 KiB. A level
// the system keeps no setting for (ERROR_INVALID_LEVEL) reads as a new
// service has it: all zero.
bool win32ReadServiceSettings(ServiceHandle service, ServiceConfig* config, unsigned long* error) {
  union {
    BYTE bytes[8192];
    DWORD number;
    SERVICE_DESCRIPTIONW description;
    SERVICE_FAILURE_ACTIONSW failure;
  } answer;
  memset(config, 0, sizeof *config);
  for (int setting = kSettingDescription; setting <= kSettingPreshutdownTimeout; ++setting) {
    memset(&answer, 0, sizeof answer);
    DWORD needed = 0;
    if (!QueryServiceConfig2W(static_cast<SC_HANDLE>(service), kSettingLevels[setting],
                              answer.bytes, sizeof answer, &needed) &&
        GetLastError() != ERROR_INVALID_LEVEL)
      return succeeded(FALSE, error);
    bool complete = true;
    if (setting == kSettingDescription) {
      const WCHAR* text = answer.description.lpDescription;
      complete = (config->description = fromWide(text ? text : L"")) != NULL;
    } else if (setting == kSettingFailureActions) {
      complete = copyFailureActions(&answer.failure, config);
    } else {
      *numberField(config, (ServiceSetting)setting) = answer.number;
    }
    if (!complete) return noMemory(error);
  }
  *error = 0;
  return true;
}

bool win32QueryServiceState(ServiceHandle service, ServiceState* state, unsigned long* error) {
  SERVICE_STATUS_PROCESS status;
  DWORD needed = 0;
  memset(&status, 0, sizeof status);
  bool read = succeeded(QueryServiceStatusEx(static_cast<SC_HANDLE>(service), SC_STATUS_PROCESS_INFO,
                                             reinterpret_cast<BYTE*>(&status), sizeof status,
                                             &needed),
                        error);
  *state = ServiceState{status.dwCurrentState, status.dwProcessId, status.dwWin32ExitCode,
                        status.dwServiceSpecificExitCode};
  return read;
}

unsigned long win32ChildProcess(unsigned long parentId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  unsigned long child = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !child;
       more = Process32NextW(snapshot, &entry))
    if (entry.th32ParentProcessID == parentId && wcscmp(entry.szExeFile, L"conhost.exe") != 0)
      child = entry.th32ProcessID;
  CloseHandle(snapshot);
  return child;
}

bool win32StartService(ServiceHandle service, unsigned long* error) {
  return succeeded(StartServiceW(static_cast<SC_HANDLE>(service), 0, NULL), error);
}

bool win32StopService(ServiceHandle service, unsigned long* error) {
  SERVICE_STATUS status;
  return succeeded(ControlService(static_cast<SC_HANDLE>(service), SERVICE_CONTROL_STOP, &status),
                   error);
}

bool win32DeleteService(ServiceHandle service, unsigned long* error) {
  return succeeded(DeleteService(static_cast<SC_HANDLE>(service)), error);
}

void win32CloseService(ServiceHandle service) {
  CloseServiceHandle(static_cast<SC_HANDLE>(service));
}

// The system's text ends with a line end; any inside it become blanks.
char* win32SystemMessage(unsigned long error) {
  WCHAR text[512];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                error, 0, text, 512, NULL);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' ||
                        text[length - 1] == L' '))
    --length;
  text[length] = 0;
  for (DWORD i = 0; i < length; ++i)
    if (text[i] == L'\r' || text[i] == L'\n') text[i] = L' ';
  return length ? fromWide(text) : NULL;
}

static HKEY rootKey(RegistryHive hive) {
  return hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

long win32RegistryCreateKey(RegistryHive hive, const char* path, RegistryKey* key, bool* created) {
  *key = NULL;
  *created = false;
  WCHAR* widePath = toWide(path);
  if (!widePath) return ERROR_NOT_ENOUGH_MEMORY;
  HKEY opened = NULL;
  DWORD disposition = 0;
  LONG result = RegCreateKeyExW(rootKey(hive), widePath, 0, NULL, 0, KEY_SET_VALUE, NULL, &opened,
                                &disposition);
  free(widePath);
  *key = opened;
  *created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  return result;
}

long win32RegistrySetValue(RegistryKey key, const char* name, const char* text,
                           unsigned long number) {
  DWORD dword = number;
  WCHAR* wideName = toWide(name);
  WCHAR* wideText = text ? toWide(text) : NULL;
  LONG result = ERROR_NOT_ENOUGH_MEMORY;
  if (wideName && (wideText || !text))
    result = RegSetValueExW(static_cast<HKEY>(key), wideName, 0, text ? REG_SZ : REG_DWORD,
                            text ? reinterpret_cast<const BYTE*>(wideText)
                                 : reinterpret_cast<const BYTE*>(&dword),
                            text ? (DWORD)(sizeof(WCHAR) * (wcslen(wideText) + 1)) : sizeof dword);
  free(wideText);
  free(wideName);
  return result;
}

long win32RegistryDeleteKey(RegistryHive hive, const char* path) {
  WCHAR* widePath = toWide(path);
  LONG result = widePath ? RegDeleteKeyW(rootKey(hive), widePath) : ERROR_NOT_ENOUGH_MEMORY;
  free(widePath);
  return result;
}

// Shared with the handler, which runs on the dispatcher's thread: the
// request it sets (made before the handler is registered, never closed),
// and which control it was.
static HANDLE stopRequested;
static volatile LONG requestedControl;
static void (*portableServiceMain)(int argc, char** argv);

static void WINAPI serviceMainW(DWORD count, WCHAR** wideArguments) {
  char** arguments = static_cast<char**>(calloc(count + 1, sizeof(char*)));
  int converted = 0;
  while (arguments && converted < (int)count &&
         (arguments[converted] = fromWide(wideArguments[converted])))
    ++converted;
  portableServiceMain(converted, arguments);
  for (int i = 0; i < converted; ++i) free(arguments[i]);
  free(arguments);
}

// An own-process service: the manager starts the table's one entry,
// whatever its name.
bool win32RunServiceDispatcher(void (*serviceMain)(int argc, char** argv), unsigned long* error) {
  static const SERVICE_TABLE_ENTRYW kTable[] = {{const_cast<WCHAR*>(L""), serviceMainW},
                                                {NULL, NULL}};
  portableServiceMain = serviceMain;
  return succeeded(StartServiceCtrlDispatcherW(kTable), error);
}

static DWORD WINAPI handleControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_PRESHUTDOWN) {
    InterlockedExchange(&requestedControl, (LONG)control);
    SetEvent(stopRequested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

// Named as in the dispatcher's table, which Wine looks the name up in;
// Windows takes any name for an own-process service.
ServiceStatusHandle win32RegisterServiceHandler(unsigned long* error) {
  if (!stopRequested) stopRequested = CreateEventW(NULL, TRUE, FALSE, NULL);
  SERVICE_STATUS_HANDLE status =
      stopRequested ? RegisterServiceCtrlHandlerExW(L"", handleControl, NULL) : NULL;
  succeeded(status != NULL, error);
  return status;
}

bool win32ReportServiceStatus(ServiceStatusHandle handle, const ServiceStatusReport* report,
                              unsigned long* error) {
  SERVICE_STATUS status = {
      SERVICE_WIN32_OWN_PROCESS, report->state,
      report->state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PRESHUTDOWN : 0u,
      report->win32ExitCode,     report->specificExitCode,
      report->checkPoint,        report->waitHint};
  return succeeded(SetServiceStatus(static_cast<SERVICE_STATUS_HANDLE>(handle), &status), error);
}

ServiceWait win32WaitForJavaOrStop(ProcessHandle process) {
  HANDLE waited[] = {static_cast<HANDLE>(process), stopRequested};
  DWORD result = WaitForMultipleObjects(2, waited, FALSE, INFINITE);
  if (result == WAIT_OBJECT_0) return kWaitJavaEnded;
  if (result != WAIT_OBJECT_0 + 1) return kWaitFailed;
  return requestedControl == SERVICE_CONTROL_PRESHUTDOWN ? kWaitShutdown : kWaitStopRequested;
}

bool win32WaitForExitWithin(ProcessHandle process, unsigned long milliseconds) {
  return WaitForSingleObject(static_cast<HANDLE>(process), milliseconds) == WAIT_OBJECT_0;
}

// The service decides how it ends (the manager tells it): the launcher
// lets every console event pass.
static BOOL WINAPI passConsoleEvent(DWORD) { return TRUE; }

// A service's console shows nowhere (session 0 has no desktop of the
// user's). A service inherits Ctrl+C turned off; the NULL form turns it on
// again for the programs started from now on (a handler routine is not
// inherited).
bool win32OpenJavaConsole(unsigned long* error) {
  if (!succeeded(AllocConsole(), error)) return false;
  SetConsoleCtrlHandler(NULL, FALSE);
  SetConsoleCtrlHandler(passConsoleEvent, TRUE);
  return true;
}

bool win32InterruptConsole(unsigned long* error) {
  return succeeded(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0), error);
}

bool win32TerminateJob(JobHandle job, unsigned long* error) {
  return succeeded(TerminateJobObject(static_cast<HANDLE>(job), 1), error);
}

bool win32TerminateProcess(ProcessHandle process, unsigned long* error) {
  return succeeded(TerminateProcess(static_cast<HANDLE>(process), 1), error);
}

static_assert(sizeof(LocalTime) == sizeof(SYSTEMTIME) &&
                  offsetof(LocalTime, second) == offsetof(SYSTEMTIME, wSecond),
              "LocalTime is laid out as SYSTEMTIME");

void win32LocalTime(LocalTime* time) { GetLocalTime(reinterpret_cast<SYSTEMTIME*>(time)); }

EventSourceHandle win32OpenEventSource(const char* source, unsigned long* error) {
  WCHAR* wideSource = toWide(source);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  HANDLE handle = wideSource ? RegisterEventSourceW(NULL, wideSource) : NULL;
  free(wideSource);
  succeeded(handle != NULL, error);
  return handle;
}

// Event 1 is the message table's one message, "%1": the text as written.
bool win32ReportEvent(EventSourceHandle source, EventType type, const char* text) {
  WCHAR* wide = toWide(text);
  const WCHAR* strings[] = {wide};
  bool reported = wide && ReportEventW(static_cast<HANDLE>(source), (WORD)type, 0, 1, NULL, 1, 0,
                                       strings, NULL);
  free(wide);
  return reported;
}

void win32CloseEventSource(EventSourceHandle source) {
  DeregisterEventSource(static_cast<HANDLE>(source));
}
