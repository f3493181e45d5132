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
  textAppend(&joined, "");
  for (int i = 0; i < serviceSettings.dependsOn.count; ++i) {
    if (i) textAppendChar(&joined, '/');
    textAppend(&joined, serviceSettings.dependsOn.items[i]);
  }
  return textRelease(&joined);
}

ServiceConfig wantedServiceConfig(const char* name, const ServiceChoices* choices) {
  char* program = platform.programPath();
  ServiceConfig config = {};
  if (!program) return config;
  config.displayName = serviceDisplayName(name);
  config.command = formatText("\"%s\"%s", program ? program : "", settings.debug ? " -d" : "");
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

// The steps of a registration: the main fields, then each other setting
// (in the order of ServiceSetting).
enum InstallStep {
  kStepMain,
  kStepDescription,
  kStepDelayedStart,
  kStepFailureActions,
  kStepFailureOnNonCrash,
  kStepPreshutdown,
  kStepCount,
};

static bool sameText(const char* a, const char* b) { return strcmp(a ? a : "", b ? b : "") == 0; }

static bool sameActions(const ServiceConfig* a, const ServiceConfig* b) {
  if (a->failureActionCount != b->failureActionCount) return false;
  for (unsigned long i = 0; i < a->failureActionCount; ++i)
    if (a->failureActions[i].type != b->failureActions[i].type ||
        a->failureActions[i].delayMilliseconds != b->failureActions[i].delayMilliseconds)
      return false;
  return a->failureActionCount == 0 || a->failureResetSeconds == b->failureResetSeconds;
}

static bool sameAccount(const ServiceConfig* a, const ServiceConfig* b) {
  return sameLetters(a->account ? a->account : "", b->account ? b->account : "");
}

static bool stepDiffers(InstallStep step, const ServiceConfig* a, const ServiceConfig* b) {
  switch (step) {
    case kStepMain:
      return !sameText(a->displayName, b->displayName) || !sameText(a->command, b->command) ||
             a->startType != b->startType || !sameAccount(a, b) ||
             !sameText(a->dependencies, b->dependencies);
    case kStepDescription:
      return !sameText(a->description, b->description);
    case kStepDelayedStart:
      return a->delayedStart != b->delayedStart;
    case kStepFailureActions:
      return !sameActions(a, b);
    case kStepFailureOnNonCrash:
      return a->failureOnNonCrash != b->failureOnNonCrash;
    default:
      return a->preshutdownMilliseconds != b->preshutdownMilliseconds;
  }
}

// The main fields leave the account (and its password) alone when it stays.
static bool writeStep(ServiceHandle service, InstallStep step, const ServiceConfig* config,
                      const ServiceConfig* other, unsigned long* error) {
  if (step != kStepMain)
    return servicePlatform.setServiceSetting(service, (ServiceSetting)(step - 1), config, error);
  ServiceConfig change = *config;
  if (sameAccount(config, other)) change.account = nullptr;
  return servicePlatform.changeServiceConfig(service, &change, error);
}

// Writes what differs from before, step by step, noting each step
// written; false at the first that fails.
static bool writeChanges(ServiceHandle service, const ServiceConfig* before,
                         const ServiceConfig* wanted, bool fresh, bool* written,
                         unsigned long* error) {
  for (int step = fresh ? kStepDescription : kStepMain; step < kStepCount; ++step) {
    if (!stepDiffers((InstallStep)step, before, wanted)) continue;
    if (!writeStep(service, (InstallStep)step, wanted, before, error)) return false;
    written[step] = true;
  }
  return true;
}

// Writes the earlier values of the steps written back, the last first;
// true when all of them went back.
static bool writeBack(ServiceHandle service, const ServiceConfig* before,
                      const ServiceConfig* wanted, const bool* written) {
  bool restored = true;
  unsigned long error = 0;
  for (int step = kStepCount - 1; step >= 0; --step)
    if (written[step]) restored = writeStep(service, (InstallStep)step, before, wanted, &error) && restored;
  return restored;
}

static bool registerEventSource(const char* name, unsigned long* error) {
  char* path = formatText("%s%s", kEventSources, name);
  char* program = platform.programPath();
  RegistryKey key = nullptr;
  bool created = false;
  long result = program ? servicePlatform.registryCreateKey(kHiveLocalMachine, path, &key, &created)
                        : (long)kErrorAccessDenied;
  if (result == kRegistrySuccess) {
    result = servicePlatform.registrySetText(key, "EventMessageFile", program);
    if (result == kRegistrySuccess)
      result = servicePlatform.registrySetNumber(key, "TypesSupported", kEventTypes);
    platform.registryClose(key);
  }
  if (result != kRegistrySuccess && created)
    servicePlatform.registryDeleteKey(kHiveLocalMachine, path);
  *error = (unsigned long)result;
  releaseMemory(program);
  releaseMemory(path);
  return result == kRegistrySuccess;
}

bool removeEventSource(const char* name, unsigned long* error) {
  char* path = formatText("%s%s", kEventSources, name);
  long result = servicePlatform.registryDeleteKey(kHiveLocalMachine, path);
  releaseMemory(path);
  *error = result == kRegistryNotFound ? 0 : (unsigned long)result;
  return *error == 0;
}

// A new service's settings, against which a new registration's differ.
static ServiceConfig newServiceSettings(const ServiceConfig* wanted) {
  ServiceConfig config = {};
  config.displayName = wanted->displayName;
  config.command = wanted->command;
  config.startType = wanted->startType;
  config.account = wanted->account;
  config.dependencies = wanted->dependencies;
  return config;
}

// The service, new or registered already (then *before holds its settings).
static ServiceHandle createOrOpen(ServiceHandle manager, const char* name,
                                  const ServiceConfig* wanted, ServiceConfig* before,
                                  bool* updated, unsigned long* error) {
  ServiceHandle service = servicePlatform.createService(manager, name, wanted, error);
  *updated = !service && *error == kErrorServiceExists;
  if (!*updated) return service;
  service = servicePlatform.openService(manager, name, kAccessChange, error);
  if (service && !servicePlatform.readServiceConfig(service, before, error)) {
    servicePlatform.closeService(service);
    return nullptr;
  }
  return service;
}

bool installService(const char* name, const ServiceConfig* wanted, bool* updated,
                    unsigned long* error, bool* restored) {
  *updated = false;
  *restored = true;
  ServiceHandle manager = servicePlatform.openServiceManager(kAccessChange, error);
  if (!manager) return false;
  ServiceConfig before = {};
  ServiceHandle service = createOrOpen(manager, name, wanted, &before, updated, error);
  bool done = false;
  if (service) {
    ServiceConfig fresh = newServiceSettings(wanted);
    const ServiceConfig* earlier = *updated ? &before : &fresh;
    bool written[kStepCount] = {};
    done = writeChanges(service, earlier, wanted, !*updated, written, error) &&
           registerEventSource(name, error);
    unsigned long deleteError = 0;
    if (!done)
      *restored = *updated ? writeBack(service, earlier, wanted, written)
                           : servicePlatform.deleteService(service, &deleteError);
    servicePlatform.closeService(service);
  }
  if (*updated) releaseServiceConfig(&before);
  servicePlatform.closeService(manager);
  return done;
}
