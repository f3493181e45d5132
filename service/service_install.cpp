#include "service/service_install.h"

#include <string.h>

#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

static const char kEventSources[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";
static const unsigned long kEventTypes = 7;  // errors, warnings and information
static const unsigned long kFailureResetSeconds = 86400;
static const unsigned long kRestartActions = 3;  // the first, second and later failures
static const unsigned long kPreshutdownMarginMilliseconds = 5000;

static char* joinDependencies(void) {
  TextBuffer joined = {};
  for (int i = 0; i < serviceSettings.dependsOn.count; ++i) {
    textAppend(&joined, serviceSettings.dependsOn.items[i]);
    textAppendChar(&joined, '/');
  }
  return textRelease(&joined);
}

ServiceConfig wantedServiceConfig(const char* name, const ServiceChoices* choices) {
  char* program = platform.programPath();
  ServiceConfig config = {};
  if (!program) return config;
  config.displayName = serviceDisplayName(name);
  config.command = formatText("\"%s\"%s", program, settings.debug ? " -d" : "");
  config.startType = choices->startType;
  config.account = copyText(choices->account);
  config.dependencies = joinDependencies();
  config.description = copyText(serviceSettings.description ? serviceSettings.description : "");
  config.delayedStart = choices->delayedStart;
  config.failureOnNonCrash = choices->restarts;
  config.preshutdownMilliseconds =
      choices->stopTimeoutSeconds * 1000 + kPreshutdownMarginMilliseconds;
  if (choices->restarts) {
    config.failureResetSeconds = kFailureResetSeconds;
    config.failureActionCount = kRestartActions;
    config.failureActions =
        static_cast<ServiceAction*>(allocateOrDie(sizeof(ServiceAction) * kRestartActions));
    for (unsigned long i = 0; i < kRestartActions; ++i)
      config.failureActions[i] = {kActionRestart, choices->restartSeconds * 1000};
  }
  releaseMemory(program);
  return config;
}

void releaseServiceConfig(ServiceConfig* config) {
  char* texts[] = {config->displayName, config->command, config->account, config->dependencies,
                   config->description};
  for (char* text : texts) releaseMemory(text);
  releaseMemory(config->failureActions);
  *config = ServiceConfig{};
}

static const int kSettingCount = kSettingPreshutdownTimeout + 1;

static bool sameText(const char* a, const char* b) { return strcmp(a ? a : "", b ? b : "") == 0; }

static bool sameActions(const ServiceConfig* a, const ServiceConfig* b) {
  if (a->failureActionCount != b->failureActionCount) return false;
  for (unsigned long i = 0; i < a->failureActionCount; ++i)
    if (a->failureActions[i].type != b->failureActions[i].type ||
        a->failureActions[i].delayMilliseconds != b->failureActions[i].delayMilliseconds)
      return false;
  return a->failureActionCount == 0 || a->failureResetSeconds == b->failureResetSeconds;
}

static bool settingDiffers(int setting, const ServiceConfig* a, const ServiceConfig* b) {
  switch (setting) {
    case kSettingDescription:
      return !sameText(a->description, b->description);
    case kSettingDelayedStart:
      return a->delayedStart != b->delayedStart;
    case kSettingFailureActions:
      return !sameActions(a, b);
    case kSettingFailureOnNonCrash:
      return a->failureOnNonCrash != b->failureOnNonCrash;
    default:
      return a->preshutdownMilliseconds != b->preshutdownMilliseconds;
  }
}

// Writes the settings that differ from before, noting each one written;
// false at the first that fails. Only what differs is written, so that a
// system that refuses a setting (Wine: delayed start) refuses no install
// that leaves it as it is.
static bool writeSettings(ServiceHandle service, const ServiceConfig* before,
                          const ServiceConfig* wanted, bool* written, unsigned long* error) {
  for (int setting = 0; setting < kSettingCount; ++setting) {
    if (!settingDiffers(setting, before, wanted)) continue;
    if (!servicePlatform.setServiceSetting(service, (ServiceSetting)setting, wanted, error))
      return false;
    written[setting] = true;
  }
  return true;
}

// Writes the earlier values of the settings written back, the last first;
// true when all of them went back.
static bool writeBack(ServiceHandle service, const ServiceConfig* before, const bool* written) {
  bool restored = true;
  unsigned long error = 0;
  for (int setting = kSettingCount - 1; setting >= 0; --setting)
    if (written[setting])
      restored =
          servicePlatform.setServiceSetting(service, (ServiceSetting)setting, before, &error) &&
          restored;
  return restored;
}

static char* eventSourcePath(const char* name) { return formatText("%s%s", kEventSources, name); }

// *created tells whether the key is new, and so goes again if the install fails.
static bool registerEventSource(const char* name, bool* created, unsigned long* error) {
  char* path = eventSourcePath(name);
  char* program = platform.programPath();
  RegistryKey key = nullptr;
  long result = program ? servicePlatform.registryCreateKey(kHiveLocalMachine, path, &key, created)
                        : (long)kErrorAccessDenied;
  if (result == kRegistrySuccess) {
    result = servicePlatform.registrySetValue(key, "EventMessageFile", program, 0);
    if (result == kRegistrySuccess)
      result = servicePlatform.registrySetValue(key, "TypesSupported", nullptr, kEventTypes);
    platform.registryClose(key);
  }
  *error = (unsigned long)result;
  releaseMemory(program);
  releaseMemory(path);
  return result == kRegistrySuccess;
}

bool removeEventSource(const char* name, unsigned long* error) {
  char* path = eventSourcePath(name);
  long result = servicePlatform.registryDeleteKey(kHiveLocalMachine, path);
  releaseMemory(path);
  *error = result == kRegistryNotFound ? 0 : (unsigned long)result;
  return *error == 0;
}

// The service, new (its main fields written) or registered already (then
// *before holds its settings).
static ServiceHandle createOrOpen(ServiceHandle manager, const char* name,
                                  const ServiceConfig* wanted, ServiceConfig* before,
                                  bool* updated, unsigned long* error) {
  ServiceHandle service = servicePlatform.createService(manager, name, wanted, error);
  *updated = !service && *error == kErrorServiceExists;
  if (!*updated) return service;
  service = servicePlatform.openService(manager, name, kAccessChange, error);
  if (service && !servicePlatform.readServiceSettings(service, before, error)) {
    servicePlatform.closeService(service);
    return nullptr;
  }
  return service;
}

// The settings first, then the event source, then (for a service registered
// already) the main fields, each step of which Windows writes whole: when a
// step fails, only the settings written before it need their earlier values.
static bool writeRegistration(ServiceHandle service, const char* name, const ServiceConfig* before,
                              const ServiceConfig* wanted, bool updated, unsigned long* error,
                              bool* restored) {
  bool written[kSettingCount] = {};
  bool newSource = false;
  if (writeSettings(service, before, wanted, written, error) &&
      registerEventSource(name, &newSource, error) &&
      (!updated || servicePlatform.changeServiceConfig(service, wanted, error)))
    return true;
  unsigned long ignored = 0;
  if (newSource) removeEventSource(name, &ignored);
  *restored = updated ? writeBack(service, before, written)
                      : servicePlatform.deleteService(service, &ignored);
  return false;
}

bool installService(const char* name, const ServiceConfig* wanted, bool* updated,
                    unsigned long* error, bool* restored) {
  *updated = false;
  *restored = true;
  ServiceHandle manager = servicePlatform.openServiceManager(kAccessChange, error);
  if (!manager) return false;
  ServiceConfig before = {};  // a new service's settings, or the registered one's
  ServiceHandle service = createOrOpen(manager, name, wanted, &before, updated, error);
  bool done =
      service && writeRegistration(service, name, &before, wanted, *updated, error, restored);
  if (service) servicePlatform.closeService(service);
  releaseServiceConfig(&before);
  servicePlatform.closeService(manager);
  return done;
}
