// The fake service table: see fake_service_platform.h.
#include "platform/fake_service_platform.h"

#include <algorithm>

#include "platform/fake_files.h"
#include "platform/fake_memory.h"
#include "platform/fake_platform.h"

// In fake_platform.cpp, with the registry they write.
long fakeRegistryCreateKey(RegistryHive hive, const char* path, RegistryKey* key, bool* created);
long fakeRegistrySetValue(RegistryKey key, const char* name, const char* text,
                          unsigned long number);
long fakeRegistryDeleteKey(RegistryHive hive, const char* path);

// The tests' service table, which installFakeServicePlatform fills.
ServicePlatformOps servicePlatform;

static FakeServiceWorld& world() { return fake().service; }

FakeService* fakeService(const std::string& name) {
  auto found = world().services.find(fakeLowerCase(name));
  return found == world().services.end() ? nullptr : &found->second;
}

int fakeServiceOpenCount(void) {
  return world().openServiceHandles + world().openEventSources;
}

// A handle stands for the manager (the empty name) or a service's name.
// Handles are numbered apart from the platform's, high up.
static std::map<uintptr_t, std::string> serviceHandles;
static uintptr_t lastServiceHandle;

static void* openServiceHandle(const std::string& name) {
  serviceHandles[++lastServiceHandle] = name;
  ++world().openServiceHandles;
  return reinterpret_cast<void*>(lastServiceHandle);
}

static FakeService* serviceOf(ServiceHandle handle) {
  auto found = serviceHandles.find(reinterpret_cast<uintptr_t>(handle));
  return found == serviceHandles.end() ? nullptr : fakeService(found->second);
}

// The service behind the handle, or NULL (access denied) when the call fails.
static FakeService* calledService(bool fails, ServiceHandle handle, unsigned long* error) {
  FakeService* service = fails ? nullptr : serviceOf(handle);
  *error = service ? 0ul : (unsigned long)kErrorAccessDenied;
  return service;
}

static bool refuse(unsigned long* error, unsigned long code) {
  *error = code;
  return false;
}

static ServiceHandle fakeOpenServiceManager(ServiceAccess access, unsigned long* error) {
  *error = kErrorAccessDenied;
  if (FAKE_SERVICE_CALL_FAILS(openServiceManager)) return nullptr;
  if (access == kAccessChange && !world().elevated) return nullptr;
  *error = 0;
  return openServiceHandle("");
}

static ServiceHandle fakeOpenService(ServiceHandle, const char* name, ServiceAccess access,
                                     unsigned long* error) {
  *error = kErrorAccessDenied;
  if (FAKE_SERVICE_CALL_FAILS(openService)) return nullptr;
  if (!fakeService(name)) return refuse(error, kErrorServiceDoesNotExist), nullptr;
  if (access == kAccessChange && !world().elevated) return nullptr;
  *error = 0;
  return openServiceHandle(fakeLowerCase(name));
}

static void writeMainFields(FakeService* service, const ServiceConfig* config) {
  service->displayName = config->displayName;
  service->command = config->command;
  service->startType = config->startType;
  if (config->account) service->account = config->account;
  service->dependencies = config->dependencies;
}

static ServiceHandle fakeCreateService(ServiceHandle, const char* name,
                                       const ServiceConfig* config, unsigned long* error) {
  *error = kErrorAccessDenied;
  if (FAKE_SERVICE_CALL_FAILS(createService)) return nullptr;
  if (fakeService(name)) return refuse(error, kErrorServiceExists), nullptr;
  *error = 0;
  writeMainFields(&world().services[fakeLowerCase(name)], config);
  fakeNoteEvent(std::string("create service ") + name);
  return openServiceHandle(fakeLowerCase(name));
}

static bool fakeChangeServiceConfig(ServiceHandle handle, const ServiceConfig* config,
                                    unsigned long* error) {
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(changeServiceConfig), handle, error);
  if (!service) return false;
  writeMainFields(service, config);
  return true;
}

static bool fakeSetServiceSetting(ServiceHandle handle, ServiceSetting setting,
                                  const ServiceConfig* config, unsigned long* error) {
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(setServiceSetting), handle, error);
  if (!service) return false;
  switch (setting) {
    case kSettingDescription:
      service->description = config->description;
      break;
    case kSettingDelayedStart:
      service->delayedStart = config->delayedStart;
      break;
    case kSettingFailureActions:
      service->failureResetSeconds = config->failureResetSeconds;
      service->failureActions.assign(config->failureActions,
                                     config->failureActions + config->failureActionCount);
      break;
    case kSettingFailureOnNonCrash:
      service->failureOnNonCrash = config->failureOnNonCrash;
      break;
    case kSettingPreshutdownTimeout:
      service->preshutdownMilliseconds = config->preshutdownMilliseconds;
      break;
  }
  return true;
}

static bool fakeReadServiceSettings(ServiceHandle handle, ServiceConfig* config,
                                    unsigned long* error) {
  *config = ServiceConfig{};
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(readServiceSettings), handle, error);
  if (!service) return false;
  const std::vector<ServiceAction>& actions = service->failureActions;
  *config = ServiceConfig{nullptr, nullptr, 0, nullptr, nullptr,
                          fakeHeapText(service->description),
                          service->delayedStart, service->failureResetSeconds,
                          reinterpret_cast<ServiceAction*>(fakeHeapText(std::string(
                              reinterpret_cast<const char*>(actions.data()),
                              sizeof(ServiceAction) * actions.size()))),
                          (unsigned long)actions.size(), service->failureOnNonCrash,
                          service->preshutdownMilliseconds};
  return true;
}

static bool fakeQueryServiceState(ServiceHandle handle, ServiceState* state,
                                  unsigned long* error) {
  *state = ServiceState{};
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(queryServiceState), handle, error);
  if (!service) return false;
  if (service->pendingQueries > 0 && --service->pendingQueries == 0)
    service->state = service->afterPending;
  *state = service->state;
  return true;
}

// The scripted child; a failing search finds none.
static unsigned long fakeChildProcess(unsigned long parentId) {
  if (FAKE_SERVICE_CALL_FAILS(childProcess)) return 0;
  auto found = world().children.find(parentId);
  return found == world().children.end() ? 0 : found->second;
}

// A control shows its pending state for a while, or lands at once.
static void control(FakeService* service, unsigned long pending, ServiceState after,
                    bool hangs = false) {
  service->pendingQueries = hangs ? 1 << 30 : world().pendingQueries;
  service->afterPending = after;
  service->state = service->pendingQueries ? ServiceState{pending, service->state.processId, 0, 0}
                                           : after;
}

static bool fakeStartService(ServiceHandle handle, unsigned long* error) {
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(startService), handle, error);
  if (!service) return false;
  if (service->state.state != kServiceStopped) return refuse(error, kErrorServiceAlreadyRunning);
  fakeNoteEvent("start service");
  control(service, kServiceStartPending,
          world().startRuns
              ? ServiceState{kServiceRunning, world().nextServiceProcess++, 0, 0}
              : ServiceState{kServiceStopped, 0, kErrorServiceSpecific, world().startFailureCode});
  return true;
}

static bool fakeStopService(ServiceHandle handle, unsigned long* error) {
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(stopService), handle, error);
  if (!service) return false;
  if (service->state.state == kServiceStopped) return refuse(error, kErrorServiceNotActive);
  fakeNoteEvent("stop service");
  control(service, kServiceStopPending, ServiceState{kServiceStopped, 0, 0, 0}, world().stopHangs);
  return true;
}

static bool fakeDeleteService(ServiceHandle handle, unsigned long* error) {
  FakeService* service = calledService(FAKE_SERVICE_CALL_FAILS(deleteService), handle, error);
  if (!service) return false;
  world().services.erase(serviceHandles[reinterpret_cast<uintptr_t>(handle)]);
  fakeNoteEvent("delete service");
  return true;
}

static void fakeCloseService(ServiceHandle handle) {
  if (serviceHandles.erase(reinterpret_cast<uintptr_t>(handle))) --world().openServiceHandles;
}

static char* fakeSystemMessage(unsigned long error) {
  static const std::map<unsigned long, std::string> kMessages = {
      {kErrorAccessDenied, "Access is denied."},
      {kErrorServiceDoesNotExist, "The specified service does not exist as an installed service."},
      {kErrorServiceExists, "The specified service already exists."},
  };
  if (FAKE_SERVICE_CALL_FAILS(systemMessage)) return nullptr;
  auto found = kMessages.find(error);
  return fakeHeapText(found != kMessages.end() ? found->second
                                               : "Error " + std::to_string(error) + ".");
}

// Calls serviceMain at once, with the start parameters, as the manager
// calls it on a thread of its own. Its arguments are kept in the state, as
// a run that ends through an exit destroys nothing of the fake's own.
static bool fakeRunServiceDispatcher(void (*serviceMain)(int argc, char** argv),
                                     unsigned long* error) {
  *error = kErrorNotStartedByServiceManager;
  if (FAKE_SERVICE_CALL_FAILS(runServiceDispatcher) || !world().startedByManager) return false;
  *error = 0;
  std::vector<char*>& argv = world().mainArguments;
  argv.clear();
  for (std::string& parameter : world().startParameters) argv.push_back(&parameter[0]);
  serviceMain((int)argv.size(), argv.data());
  return true;
}

static ServiceStatusHandle fakeRegisterServiceHandler(unsigned long* error) {
  *error = kErrorServiceDoesNotExist;
  if (FAKE_SERVICE_CALL_FAILS(registerServiceHandler)) return nullptr;
  *error = 0;
  return reinterpret_cast<ServiceStatusHandle>(&world());
}

static const char* stateName(unsigned long state) {
  static const char* const kNames[] = {"?", "stopped", "start pending", "stop pending", "running"};
  return state <= kServiceRunning ? kNames[state] : "?";
}

static bool fakeReportServiceStatus(ServiceStatusHandle, const ServiceStatusReport* report,
                                    unsigned long* error) {
  if (FAKE_SERVICE_CALL_FAILS(reportServiceStatus)) return refuse(error, kErrorAccessDenied);
  world().reports.push_back(*report);
  fakeNoteEvent(std::string("report ") + stateName(report->state) + " " +
        std::to_string(report->state == kServiceStopped ? report->specificExitCode
                                                        : report->checkPoint));
  *error = 0;
  return true;
}

static void endProcess(FakeProcess* process) { process->waitedForExit = true; }

// A failing wait returns kWaitFailed with Java still running.
static ServiceWait fakeWaitForJavaOrStop(ProcessHandle handle) {
  if (FAKE_SERVICE_CALL_FAILS(waitForJavaOrStop)) return kWaitFailed;
  FakeProcess* process = fakeProcessOf(handle);
  ServiceWait waited = world().javaEndsFirst > 0 ? kWaitJavaEnded : world().javaOrStop;
  if (world().javaEndsFirst > 0) --world().javaEndsFirst;
  if (waited == kWaitJavaEnded && process) endProcess(process);
  return waited;
}

// Java ends javaEndsAfterInterrupt after Ctrl+C; the wait takes the time
// until then, or all of its time.
static bool fakeWaitForExitWithin(ProcessHandle handle, unsigned long milliseconds) {
  if (FAKE_SERVICE_CALL_FAILS(waitForExitWithin)) return false;
  FakeProcess* process = fakeProcessOf(handle);
  if (!process) return false;
  if (process->waitedForExit) return true;
  unsigned long endsAt = world().interruptedAt + world().javaEndsAfterInterrupt;
  bool ends = world().interrupted && world().javaEndsAfterInterrupt != kFakeNever &&
              endsAt <= world().clock + milliseconds;
  world().clock = ends ? std::max(world().clock, endsAt) : world().clock + milliseconds;
  if (ends) endProcess(process);
  return ends;
}

static bool fakeOpenJavaConsole(unsigned long* error) {
  // A process has one console: a second one is refused, as Windows does.
  if (FAKE_SERVICE_CALL_FAILS(openJavaConsole) || world().consoleOpen)
    return refuse(error, kErrorAccessDenied);
  world().consoleOpen = true;
  fakeNoteEvent("open console");
  *error = 0;
  return true;
}

static bool fakeInterruptConsole(unsigned long* error) {
  if (FAKE_SERVICE_CALL_FAILS(interruptConsole) || !world().consoleOpen)
    return refuse(error, 6);  // ERROR_INVALID_HANDLE
  world().interrupted = true;
  world().interruptedAt = world().clock;
  fakeNoteEvent("interrupt");
  *error = 0;
  return true;
}

static bool fakeTerminateJob(JobHandle job, unsigned long* error) {
  int number = fakeJobNumberOf(job);
  if (FAKE_SERVICE_CALL_FAILS(terminateJob) || !number) return refuse(error, kErrorAccessDenied);
  for (FakeProcess& process : fake().processes)
    if (process.job == number && !process.waitedForExit) process.terminated = true;
  for (FakeProcess& process : fake().processes)
    if (process.terminated) endProcess(&process);
  fakeNoteEvent("terminate job " + std::to_string(number));
  *error = 0;
  return true;
}

static bool fakeTerminateProcess(ProcessHandle handle, unsigned long* error) {
  FakeProcess* process = fakeProcessOf(handle);
  if (FAKE_SERVICE_CALL_FAILS(terminateProcess) || !process)
    return refuse(error, kErrorAccessDenied);
  if (!process->waitedForExit) process->terminated = true;
  endProcess(process);
  fakeNoteEvent("terminate process " + std::to_string(process - fake().processes.data() + 1));
  *error = 0;
  return true;
}


// Cannot fail: GetLocalTime returns nothing to fail with. The clock moves
// the seconds on.
static void fakeLocalTime(LocalTime* time) {
  *time = world().now;
  time->second = (unsigned short)((time->second + world().clock / 1000) % 60);
}

static std::map<uintptr_t, std::string> eventSources;

static EventSourceHandle fakeOpenEventSource(const char* source, unsigned long* error) {
  if (FAKE_SERVICE_CALL_FAILS(openEventSource)) return refuse(error, kErrorAccessDenied), nullptr;
  eventSources[++lastServiceHandle] = source;
  ++world().openEventSources;
  *error = 0;
  return reinterpret_cast<EventSourceHandle>(lastServiceHandle);
}

static bool fakeReportEvent(EventSourceHandle source, EventType type, const char* text) {
  auto found = eventSources.find(reinterpret_cast<uintptr_t>(source));
  if (FAKE_SERVICE_CALL_FAILS(reportEvent) || found == eventSources.end()) return false;
  world().events.push_back({found->second, type, text});
  return true;
}

static void fakeCloseEventSource(EventSourceHandle source) {
  if (eventSources.erase(reinterpret_cast<uintptr_t>(source))) --world().openEventSources;
}

void installFakeServicePlatform(void) {
  serviceHandles.clear();
  eventSources.clear();
  lastServiceHandle = (uintptr_t)1 << 20;
  servicePlatform = ServicePlatformOps{
      .openServiceManager = fakeOpenServiceManager,
      .openService = fakeOpenService,
      .createService = fakeCreateService,
      .changeServiceConfig = fakeChangeServiceConfig,
      .setServiceSetting = fakeSetServiceSetting,
      .readServiceSettings = fakeReadServiceSettings,
      .queryServiceState = fakeQueryServiceState,
      .childProcess = fakeChildProcess,
      .startService = fakeStartService,
      .stopService = fakeStopService,
      .deleteService = fakeDeleteService,
      .closeService = fakeCloseService,
      .systemMessage = fakeSystemMessage,
      .registryCreateKey = fakeRegistryCreateKey,
      .registrySetValue = fakeRegistrySetValue,
      .registryDeleteKey = fakeRegistryDeleteKey,
      .runServiceDispatcher = fakeRunServiceDispatcher,
      .registerServiceHandler = fakeRegisterServiceHandler,
      .reportServiceStatus = fakeReportServiceStatus,
      .waitForJavaOrStop = fakeWaitForJavaOrStop,
      .waitForExitWithin = fakeWaitForExitWithin,
      .openJavaConsole = fakeOpenJavaConsole,
      .interruptConsole = fakeInterruptConsole,
      .terminateJob = fakeTerminateJob,
      .terminateProcess = fakeTerminateProcess,
      .localTime = fakeLocalTime,
      .openEventSource = fakeOpenEventSource,
      .reportEvent = fakeReportEvent,
      .closeEventSource = fakeCloseEventSource,
  };
}
