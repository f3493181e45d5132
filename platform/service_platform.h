// The system operations that only the service launcher (launchersvc.exe)
// needs: the service control manager, the service's own status, a console
// shared with Java for Ctrl+C, its log file, the event log and waits with
// timeouts. A table of its own beside the platform table, so that the GUI
// and console launchers carry none of it: the service exe binds it to the
// Windows implementation when it is compiled (win32_service_platform.h), the
// host tests fill it with the fake (fake_service_platform.cpp). Texts are
// UTF-8, heap texts come from platform.allocate and go back with
// platform.release, as in platform.h. Every entry that can fail reports the system's error code.
#ifndef CORVANE_PLATFORM_SERVICE_PLATFORM_H
#define CORVANE_PLATFORM_SERVICE_PLATFORM_H

#include "platform/platform.h"

typedef void* ServiceHandle;        // the service manager, or one service in it
typedef void* ServiceStatusHandle;  // the running service's link for its status
typedef void* EventSourceHandle;

// Service states, start types and the system error codes the launcher
// tells apart, with the values Windows uses.
enum : unsigned long {
  kServiceStopped = 1,
  kServiceStartPending = 2,
  kServiceStopPending = 3,
  kServiceRunning = 4,
};
enum : unsigned long {
  kServiceAutoStart = 2,
  kServiceDemandStart = 3,
};
enum : unsigned long {
  kErrorAccessDenied = 5,
  kErrorInvalidLevel = 124,
  kErrorServiceAlreadyRunning = 1056,
  kErrorServiceDoesNotExist = 1060,
  kErrorServiceNotActive = 1062,
  kErrorNotStartedByServiceManager = 1063,  // ERROR_FAILED_SERVICE_CONTROLLER_CONNECT
  kErrorServiceSpecific = 1066,
  kErrorServiceExists = 1073,
  kErrorServiceNeverStarted = 1077,
};

// What the service manager is opened for, and a service.
enum ServiceAccess {
  kAccessQuery,    // its status
  kAccessControl,  // status, start and stop
  kAccessChange,   // everything: configuration, start, stop and deletion
};

// One failure action, as SC_ACTION holds it (type 1 restarts the service).
struct ServiceAction {
  unsigned long type;
  unsigned long delayMilliseconds;
};
enum : unsigned long { kActionRestart = 1 };

// A service's configuration: its main fields, and the settings that are
// written (and read back) one at a time. Read, the description and the
// actions are heap blocks of the caller's.
struct ServiceConfig {
  char* displayName;
  char* command;       // the binary path, with its arguments
  unsigned long startType;
  char* account;       // "LocalSystem", "NT AUTHORITY\LocalService", ...: no password
  char* dependencies;  // service names, each followed by a '/'; "" for none
  char* description;   // "" for none
  // The settings of one number each are kept as Windows keeps them (BOOL
  // or DWORD), so that the Windows table hands them over as they are.
  unsigned long delayedStart;  // nonzero: an automatic start, delayed
  unsigned long failureResetSeconds;
  ServiceAction* failureActions;
  unsigned long failureActionCount;
  unsigned long failureOnNonCrash;  // nonzero: the actions also follow a stop with an error
  unsigned long preshutdownMilliseconds;
};

// The settings ChangeServiceConfig2W writes one at a time.
enum ServiceSetting {
  kSettingDescription,
  kSettingDelayedStart,
  kSettingFailureActions,
  kSettingFailureOnNonCrash,
  kSettingPreshutdownTimeout,
};

// What QueryServiceStatusEx tells.
struct ServiceState {
  unsigned long state;
  unsigned long processId;
  unsigned long win32ExitCode;
  unsigned long specificExitCode;
};

// What the running service reports (SetServiceStatus); the controls it
// accepts follow from the state: stop and pre-shutdown while running.
struct ServiceStatusReport {
  unsigned long state;
  unsigned long win32ExitCode;
  unsigned long specificExitCode;
  unsigned long checkPoint;
  unsigned long waitHint;
};

// What ended a wait for Java while the service runs.
enum ServiceWait {
  kWaitJavaEnded,
  kWaitStopRequested,
  kWaitShutdown,  // the machine is shutting down (pre-shutdown)
  kWaitFailed,
};

// The local date and time, laid out as GetLocalTime gives them (SYSTEMTIME).
struct LocalTime {
  unsigned short year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

enum EventType : unsigned { kEventError = 1, kEventInformation = 4 };

// Each entry is filled in one designated initialisation, as in platform.h.
struct ServicePlatformOps {
  // The service control manager (for commands run at a prompt).
  ServiceHandle (*openServiceManager)(ServiceAccess access, unsigned long* error);
  ServiceHandle (*openService)(ServiceHandle manager, const char* name, ServiceAccess access,
                               unsigned long* error);
  // Registers an own-process service that the machine's user may not
  // interact with, from the configuration's main fields.
  ServiceHandle (*createService)(ServiceHandle manager, const char* name,
                                 const ServiceConfig* config, unsigned long* error);
  // Writes the main fields (display name, command, start type, account,
  // dependencies), ChangeServiceConfigW.
  bool (*changeServiceConfig)(ServiceHandle service, const ServiceConfig* config,
                              unsigned long* error);
  // Writes one of the other settings from the configuration.
  bool (*setServiceSetting)(ServiceHandle service, ServiceSetting setting,
                            const ServiceConfig* config, unsigned long* error);
  // Reads the settings (the fields after dependencies), the main fields
  // left zero. A setting the system keeps no level for (ERROR_INVALID_LEVEL:
  // an older Windows, or Wine) reads as a new service has it.
  bool (*readServiceSettings)(ServiceHandle service, ServiceConfig* config, unsigned long* error);
  bool (*queryServiceState)(ServiceHandle service, ServiceState* state, unsigned long* error);
  // A process that the process started and that still runs, other than its
  // console's host (conhost.exe): a running service's Java. 0 for none.
  unsigned long (*childProcess)(unsigned long parentId);
  // Start with no arguments; a stop request.
  bool (*startService)(ServiceHandle service, unsigned long* error);
  bool (*stopService)(ServiceHandle service, unsigned long* error);
  bool (*deleteService)(ServiceHandle service, unsigned long* error);
  void (*closeService)(ServiceHandle service);
  // The system's text for an error code, on one line (heap text), or NULL.
  char* (*systemMessage)(unsigned long error);

  // Registry writes, for the event source: a key (created or opened for
  // writing in the program's own view, with *created telling which), a
  // value (the text as REG_SZ, or without one the number as REG_DWORD), and
  // the key's removal (kRegistryNotFound when it is not there). Keys close
  // with platform.registryClose.
  long (*registryCreateKey)(RegistryHive hive, const char* path, RegistryKey* key, bool* created);
  long (*registrySetValue)(RegistryKey key, const char* name, const char* text,
                           unsigned long number);
  long (*registryDeleteKey)(RegistryHive hive, const char* path);

  // Running under the service control manager. Connects the process to it
  // and runs serviceMain on a thread of the service's (with the service's
  // name and its start parameters) until the service has stopped; false,
  // with kErrorNotStartedByServiceManager, in a process the manager did
  // not start.
  bool (*runServiceDispatcher)(void (*serviceMain)(int argc, char** argv),
                               unsigned long* error);
  // From serviceMain: the link for its status, and a handler that takes
  // stop and pre-shutdown as a request waitForJavaOrStop returns.
  ServiceStatusHandle (*registerServiceHandler)(unsigned long* error);
  bool (*reportServiceStatus)(ServiceStatusHandle status, const ServiceStatusReport* report,
                              unsigned long* error);
  // Waits until the process ends or a stop or pre-shutdown is requested.
  ServiceWait (*waitForJavaOrStop)(ProcessHandle process);
  // True when the process has ended within the time.
  bool (*waitForExitWithin)(ProcessHandle process, unsigned long milliseconds);

  // A console for Java, hidden: Java started after it shares it, and Ctrl+C
  // sent to it reaches Java. The launcher itself lets every console event
  // pass it by, and the programs it starts get Ctrl+C's default handling.
  bool (*openJavaConsole)(unsigned long* error);
  // Ctrl+C to every process of the console (GenerateConsoleCtrlEvent).
  bool (*interruptConsole)(unsigned long* error);
  bool (*terminateJob)(JobHandle job, unsigned long* error);
  bool (*terminateProcess)(ProcessHandle process, unsigned long* error);

  // The date and time of the log's lines.
  void (*localTime)(LocalTime* time);

  // The Application event log, under a source name.
  EventSourceHandle (*openEventSource)(const char* source, unsigned long* error);
  bool (*reportEvent)(EventSourceHandle source, EventType type, const char* text);
  void (*closeEventSource)(EventSourceHandle source);
};

#ifdef CORVANE_BOUND_SERVICE_TABLE
#include "platform/win32_service_platform.h"
#else
extern ServicePlatformOps servicePlatform;
#endif

#endif
