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
    platform.sleepMilliseconds(kPollMilliseconds);
  }
  reached->seconds = seconds;
  return true;
}

// One line: where the service is (with its Java, the service process's
// child, or its last exit status), and how long a wait went on without
// getting further.
static void sayState(const char* name, const Reached* reached) {
  const ServiceState& state = reached->state;
  unsigned long number = state.win32ExitCode == kErrorServiceSpecific ? state.specificExitCode
                                                                      : state.win32ExitCode;
  const char* format = "%s: stopped, last exit status %lu";
  if (state.state == kServiceRunning) {
    number = servicePlatform.childProcess(state.processId);
    format = number ? "%s: running, Java process %lu" : "%s: running";
  } else if (state.state != kServiceStopped) {
    format = state.state == kServiceStartPending ? "%s: starting" : "%s: stopping";
  }
  errorLine(format, name, number);
  errorLine(reached->seconds ? ", still after %lu seconds\n" : "\n", reached->seconds);
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

// The steps of a command other than install, in this order, each once the
// one before got the service where it takes it; with none, the command
// reads where the service is (status).
enum : unsigned char { kStop = 1, kStart = 2, kDelete = 4, kInstall = 8 };

// Opens the service for what the steps need, takes them, and says where the
// service got (or, once deleted, that it is gone with its event source);
// 0 when it got where the last step takes it. status gives 0 for running
// or pending, 3 for stopped, and 4 when the service is not installed.
static int controlService(const char* name, const char* command, unsigned steps) {
  ServiceAccess access = steps & kDelete ? kAccessChange : steps ? kAccessControl : kAccessQuery;
  unsigned long error = 0;
  ServiceHandle manager = servicePlatform.openServiceManager(access, &error);
  ServiceHandle service =
      manager ? servicePlatform.openService(manager, name, access, &error) : nullptr;
  Reached reached = {};
  bool done = service != nullptr, there = true;
  if (done && !steps) done = servicePlatform.queryServiceState(service, &reached.state, &error);
  if (done && (steps & kStop)) {
    done = controlAndWait(service, true, &reached, &error);
    there = reached.state.state == kServiceStopped;
  }
  if (done && there && (steps & kStart)) {
    done = controlAndWait(service, false, &reached, &error);
    there = reached.state.state == kServiceRunning;
  }
  bool deleted = done && there && (steps & kDelete);
  if (deleted) done = servicePlatform.deleteService(service, &error);
  if (service) servicePlatform.closeService(service);
  if (manager) servicePlatform.closeService(manager);
  if (!service && !steps && error == kErrorServiceDoesNotExist) {
    errorLine("%s: not installed\n", name);
    return kExitServiceNotInstalled;
  }
  if (!done || (deleted && !removeEventSource(name, &error))) return refuse(name, command, error);
  if (deleted) {
    errorLine("%s: uninstalled\n", name);
    return kExitLaunchRan;
  }
  sayState(name, &reached);
  if (!steps) return reached.state.state == kServiceStopped ? kExitServiceStopped : kExitLaunchRan;
  return there ? kExitLaunchRan : kExitCommandFailed;
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

struct Command {
  const char* name;
  unsigned char steps;
};

static const Command kCommands[] = {
    {"install", kInstall},         {"uninstall", kStop | kDelete}, {"start", kStart},
    {"stop", kStop},               {"restart", kStop | kStart},    {"status", 0},
};

static const Command* findCommand(const char* name) {
  for (const Command& command : kCommands)
    if (strcmp(command.name, name) == 0) return &command;
  return nullptr;
}

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
  char* directory = workInProgramDirectory();
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
  if (!readCommandConfiguration(command->steps == kInstall)) return kExitNoConfigFile;
  char* name = serviceName();
  int status = kExitCommandFailed;
  if (*name)
    status = command->steps == kInstall ? installCommand(name)
                                        : controlService(name, command->name, command->steps);
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
