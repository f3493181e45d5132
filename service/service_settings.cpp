#include "service/service_settings.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/text.h"
#include "config/config_file.h"
#include "platform/platform.h"
#include "platform/service_platform.h"

ServiceSettings serviceSettings;

const char kNoOwnPath[] = "The exe's own path cannot be read";

static void setName(const char* value) { setSetting(&serviceSettings.name, value); }
static void setDisplayName(const char* value) { setSetting(&serviceSettings.displayName, value); }
static void setDescription(const char* value) { setSetting(&serviceSettings.description, value); }
static void setStart(const char* value) { setSetting(&serviceSettings.start, value); }
static void setAccount(const char* value) { setSetting(&serviceSettings.account, value); }
static void addDependency(const char* value) { appendSetting(&serviceSettings.dependsOn, value); }
static void setRestart(const char* value) { setSetting(&serviceSettings.restart, value); }
static void setStopTimeout(const char* value) { setSetting(&serviceSettings.stopTimeout, value); }

// None is a prefix of another, nor of a common key.
static const LauncherKey kServiceKeys[] = {
    {"serviceName", setName},
    {"serviceDisplayName", setDisplayName},
    {"serviceDescription", setDescription},
    {"serviceStart", setStart},
    {"serviceAccount", setAccount},
    {"serviceDependsOn", addDependency},
    {"serviceRestart", setRestart},
    {"serviceStopTimeout", setStopTimeout},
};

void addServiceKeys(void) {
  addConfigKeys(kServiceKeys, (int)(sizeof kServiceKeys / sizeof kServiceKeys[0]));
}

void resetServiceSettings(void) {
  char** texts[] = {&serviceSettings.name,    &serviceSettings.displayName,
                    &serviceSettings.description, &serviceSettings.start,
                    &serviceSettings.account, &serviceSettings.restart,
                    &serviceSettings.stopTimeout};
  for (char** text : texts) {
    releaseMemory(*text);
    *text = nullptr;
  }
  clearTextList(&serviceSettings.dependsOn);
}

char* programBaseName(void) {
  char* path = platform.programPath();
  const char* lastBackslash = path ? strrchr(path, '\\') : nullptr;
  const char* base = lastBackslash ? lastBackslash + 1 : "";
  size_t length = strlen(base);
  if (length >= 4 && strcmp(base + length - 4, ".exe") == 0) length -= 4;
  char* name = copyTextPart(base, length);
  releaseMemory(path);
  return name;
}

char* serviceName(void) {
  return textIsEmpty(serviceSettings.name) ? programBaseName() : copyText(serviceSettings.name);
}

char* serviceDisplayName(const char* name) {
  if (!textIsEmpty(serviceSettings.displayName)) return copyText(serviceSettings.displayName);
  return copyText(textIsEmpty(settings.appname) ? name : settings.appname);
}

static bool refuseValue(const char* key, const char* takes, const char* value) {
  errorLine("%s takes %s, not \"%s\"\n", key, takes, value);
  return false;
}

// A whole number of seconds, from least (0 or 1) to a day; absent is fallback.
static bool readSeconds(const char* key, const char* value, unsigned long least,
                        unsigned long fallback, unsigned long* seconds) {
  *seconds = fallback;
  if (!value) return true;
  unsigned long number = 0;
  if (*value == '-' || !parseWholeNumber(value, &number) || number < least || number > 86400)
    return refuseValue(key, least ? "1 to 86400 seconds" : "0 to 86400 seconds", value);
  *seconds = number;
  return true;
}

static bool readStart(ServiceChoices* choices) {
  const char* start = serviceSettings.start ? serviceSettings.start : "auto";
  choices->delayedStart = textEqualsFolded(start, "delayed");
  choices->startType = textEqualsFolded(start, "manual") ? kServiceDemandStart : kServiceAutoStart;
  if (textEqualsFolded(start, "auto") || textEqualsFolded(start, "manual") || choices->delayedStart)
    return true;
  return refuseValue("serviceStart", "auto, delayed or manual", start);
}

static bool readAccount(ServiceChoices* choices) {
  static const char* const kAccounts[][2] = {
      {"LocalSystem", "LocalSystem"},
      {"LocalService", "NT AUTHORITY\\LocalService"},
      {"NetworkService", "NT AUTHORITY\\NetworkService"},
  };
  const char* account = serviceSettings.account ? serviceSettings.account : "LocalSystem";
  for (const auto& known : kAccounts)
    if (textEqualsFolded(account, known[0])) choices->account = known[1];
  if (choices->account) return true;
  return refuseValue("serviceAccount", "LocalSystem, LocalService or NetworkService", account);
}

bool readServiceChoices(ServiceChoices* choices) {
  *choices = ServiceChoices{};
  choices->restarts = serviceSettings.restart != nullptr;
  return readStart(choices) && readAccount(choices) &&
         readSeconds("serviceRestart", serviceSettings.restart, 0, 0, &choices->restartSeconds) &&
         readSeconds("serviceStopTimeout", serviceSettings.stopTimeout, 1,
                     kDefaultStopTimeoutSeconds, &choices->stopTimeoutSeconds);
}

unsigned long readStopTimeout(void) {
  unsigned long seconds;  // the default when the value is refused
  readSeconds("serviceStopTimeout", serviceSettings.stopTimeout, 1, kDefaultStopTimeoutSeconds,
              &seconds);
  return seconds;
}
