#include "service/service_commands.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/exit_status.h"
#include "common/program_directory.h"
#include "common/text.h"
#include "config/config_file.h"
#include "platform/platform.h"
#include "platform/service_platform.h"
#include "service/service_install.h"
#include "service/service_settings.h"

// How long start waits for the service to run (it chooses Java first), and
// stop, beyond the stop timeout, for it to end; how often they look.
static const unsigned long kStartSeconds = 60;
static const unsigned long kStopMarginSeconds = 15;
static const unsigned long kPollMilliseconds = 250;

static int refuse(const char* name, const char* command, unsigned long error) {
  char* reason = servicePlatform.systemMessage(error);
  if (reason)
    errorLine("%s: %s failed: %s\n", name, command, reason);
  else
    errorLine("%s: %s failed: error %lu\n", name, command, error);
  releaseMemory(reason);
  return kExitCommandFailed;
}

// The service's state after a wait, and how long it went on.
struct Reached {
  ServiceState state;
  unsigned long seconds;  // waited without getting there; 0 when it got there
};

static bool isPending(unsigned long state) {
  return state == kServiceStartPending || state == kServiceStopPending;
}

// Waits, up to seconds, while the service is pending or still in the state
// it is leaving (a service asked to stop shows running until its handler's
// request has reached it).
static bool waitWhile(ServiceHandle service, unsigned long leaving, unsigned long seconds,
                      Reached* reached, unsigned long* error) {
  *reached = Reached{};
  for (unsigned long waited = 0;; waited += kPollMilliseconds) {
    if (!servicePlatform.queryServiceState(service, &reached->state, error)) return false;
    unsigned long state = reached->state.state;
    if (!isPending(state) && state != leaving) return true;
    if (waited >= seconds * 1000) break;
    servicePlatform.sleep(kPollMilliseconds);
  }
  reached->seconds = seconds;
  return true;
}

// Java is the service process's child.
static char* runningDetail(unsigned long serviceProcess) {
  unsigned long java = servicePlatform.childProcess(serviceProcess);
  return java ? formatText("running, Java process %lu", java) : copyText("running");
}

// One line: where the service is (with its Java, or its last exit status),
// and how long a wait went on without getting further.
static void sayState(const char* name, const Reached* reached) {
  const ServiceState& state = reached->state;
  char* detail = nullptr;
  if (state.state == kServiceRunning)
    detail = runningDetail(state.processId);
  else if (state.state == kServiceStopped)
    detail = formatText("stopped, last exit status %lu", state.win32ExitCode == kErrorServiceSpecific
                                                            ? state.specificExitCode
                                                            : state.win32ExitCode);
  else
    detail = copyText(state.state == kServiceStartPending ? "starting" : "stopping");
  if (reached->seconds)
    errorLine("%s: %s, still after %lu seconds\n", name, detail, reached->seconds);
  else
    errorLine("%s: %s\n", name, detail);
  releaseMemory(detail);
}

// Opens the service, or says why not; *missing when it is not installed.
static ServiceHandle openNamed(ServiceHandle* manager, const char* name, ServiceAccess access,
                               unsigned long* error) {
  *manager = servicePlatform.openServiceManager(access, error);
  if (!*manager) return nullptr;
  ServiceHandle service = servicePlatform.openService(*manager, name, access, error);
  if (!service) servicePlatform.closeService(*manager);
  return service;
}

static void closeNamed(ServiceHandle manager, ServiceHandle service) {
  servicePlatform.closeService(service);
  servicePlatform.closeService(manager);
}

// Asks for a stop or a start (none is needed when the service is there
// already) and waits for the service to get on.
static bool controlAndWait(ServiceHandle service, bool stop, Reached* reached,
                           unsigned long* error) {
  bool asked = stop ? servicePlatform.stopService(service, error)
                    : servicePlatform.startService(service, error);
  if (!asked && *error != (stop ? kErrorServiceNotActive : kErrorServiceAlreadyRunning))
    return false;
  return waitWhile(service, stop ? kServiceRunning : kServiceStartPending,
                   stop ? readStopTimeout() + kStopMarginSeconds : kStartSeconds, reached, error);
}

// Stops, starts, or both (restart: the start once stopped), then says where
// the service got; 0 when it got where the last control takes it.
static int control(const char* name, const char* command, bool stop, bool start) {
  unsigned long error = 0;
  ServiceHandle manager = nullptr;
  ServiceHandle service = openNamed(&manager, name, kAccessControl, &error);
  if (!service) return refuse(name, command, error);
  Reached reached = {};
  bool done = true, there = true;
  if (stop) {
    done = controlAndWait(service, true, &reached, &error);
    there = reached.state.state == kServiceStopped;
  }
  if (start && done && there) {
    done = controlAndWait(service, false, &reached, &error);
    there = reached.state.state == kServiceRunning;
  }
  closeNamed(manager, service);
  if (!done) return refuse(name, command, error);
  sayState(name, &reached);
  return there ? kExitLaunchRan : kExitCommandFailed;
}

static int startCommand(const char* name) { return control(name, "start", false, true); }
static int stopCommand(const char* name) { return control(name, "stop", true, false); }
static int restartCommand(const char* name) { return control(name, "restart", true, true); }

static int statusCommand(const char* name) {
  unsigned long error = 0;
  ServiceHandle manager = nullptr;
  ServiceHandle service = openNamed(&manager, name, kAccessQuery, &error);
  if (!service && error == kErrorServiceDoesNotExist) {
    errorLine("%s: not installed\n", name);
    return kExitServiceNotInstalled;
  }
  if (!service) return refuse(name, "status", error);
  Reached reached = {};
  bool read = servicePlatform.queryServiceState(service, &reached.state, &error);
  closeNamed(manager, service);
  if (!read) return refuse(name, "status", error);
  sayState(name, &reached);
  return reached.state.state == kServiceStopped ? kExitServiceStopped : kExitLaunchRan;
}

static int installCommand(const char* name) {
  ServiceChoices choices;
  if (!readServiceChoices(&choices)) return kExitUsage;
  ServiceConfig wanted = wantedServiceConfig(name, &choices);
  if (!wanted.command) {
    errorLine("%s: install failed: %s\n", name, kNoOwnPath);
    return kExitCommandFailed;
  }
  bool updated = false, restored = true;
  unsigned long error = 0;
  bool installed = installService(name, &wanted, &updated, &error, &restored);
  releaseServiceConfig(&wanted);
  if (!installed && !restored)
    errorLine("%s: its registration could not be put back as it was\n", name);
  if (!installed) return refuse(name, "install", error);
  errorLine("%s: %s\n", name, updated ? "updated" : "installed");
  return kExitLaunchRan;
}

// Stops the service first; the event source goes with it.
static int uninstallCommand(const char* name) {
  unsigned long error = 0;
  ServiceHandle manager = nullptr;
  ServiceHandle service = openNamed(&manager, name, kAccessChange, &error);
  if (!service) return refuse(name, "uninstall", error);
  Reached reached = {};
  bool stopped = controlAndWait(service, true, &reached, &error);
  bool deleted = stopped && reached.state.state == kServiceStopped &&
                 servicePlatform.deleteService(service, &error);
  closeNamed(manager, service);
  if (stopped && reached.state.state != kServiceStopped) {
    sayState(name, &reached);
    return kExitCommandFailed;
  }
  if (!deleted || !removeEventSource(name, &error)) return refuse(name, "uninstall", error);
  errorLine("%s: uninstalled\n", name);
  return kExitLaunchRan;
}

struct Command {
  const char* name;
  int (*run)(const char* serviceName);
  bool needsConfiguration;
};

static const Command kCommands[] = {
    {"install", installCommand, true}, {"uninstall", uninstallCommand, false},
    {"start", startCommand, false},    {"stop", stopCommand, false},
    {"restart", restartCommand, false}, {"status", statusCommand, false},
};

static const Command* findCommand(const char* name) {
  for (const Command& command : kCommands)
    if (strcmp(command.name, name) == 0) return &command;
  return nullptr;
}

bool isServiceCommand(const char* command) { return findCommand(command) != nullptr; }

// The lookups of "javaVersion" lines are the service's business when it
// starts: a command reads past them.
static bool readConfigurationFile(const char* path) {
  ConfigReading reading;
  ConfigRead read = readConfigFile(&reading, path);
  while (read == kConfigAtJavaVersion) read = continueConfigRead(&reading);
  return read == kConfigReadWhole;
}

// Without it, a command other than install goes on with the exe's name as
// the service's (after the reader's line that says it is missing).
static bool readCommandConfiguration(bool needed) {
  char* directory = programDirectory();
  char* baseName = programBaseName();
  char* path = formatText("%s\\%s.config", directory ? directory : ".", baseName);
  bool read = readConfigurationFile(path) || !needed;
  releaseMemory(path);
  releaseMemory(baseName);
  releaseMemory(directory);
  return read;
}

int runServiceCommand(const char* commandName) {
  const Command* command = findCommand(commandName);
  if (!command) return serviceUsage();
  if (!readCommandConfiguration(command->needsConfiguration)) return kExitNoConfigFile;
  char* name = serviceName();
  int status = kExitCommandFailed;
  if (*name)
    status = command->run(name);
  else
    errorLine("%s\n", kNoOwnPath);
  releaseMemory(name);
  return status;
}

int serviceUsage(void) {
  char* baseName = programBaseName();
  errorLine("usage: %s.exe install [-d] | uninstall | start | stop | restart | status\n",
            baseName);
  releaseMemory(baseName);
  return kExitUsage;
}
