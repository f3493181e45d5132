// The service's own configuration keys, and what the launcher makes of them.
#ifndef CORVANE_SERVICE_SERVICE_SETTINGS_H
#define CORVANE_SERVICE_SERVICE_SETTINGS_H

#include "common/launch_settings.h"

// The keys' values as written (NULL, or an empty list, when absent).
struct ServiceSettings {
  char* name;         // serviceName
  char* displayName;  // serviceDisplayName
  char* description;  // serviceDescription
  char* start;        // serviceStart: auto, delayed or manual
  char* account;      // serviceAccount: LocalSystem, LocalService or NetworkService
  TextList dependsOn; // serviceDependsOn, one line for each service
  char* restart;      // serviceRestart: seconds after a failure
  char* stopTimeout;  // serviceStopTimeout: seconds Java has to end after Ctrl+C
};

extern ServiceSettings serviceSettings;

// Makes the configuration reader take the keys above.
void addServiceKeys(void);
// Back to no keys read (tests).
void resetServiceSettings(void);

// The exe's name without ".exe" (heap text; "" when its path cannot be read).
char* programBaseName(void);
// The service's name: serviceName, or the exe's name without ".exe".
char* serviceName(void);
// Its display name: serviceDisplayName, appname, or the name (heap text).
char* serviceDisplayName(const char* name);

enum { kDefaultStopTimeoutSeconds = 20 };

// What the keys ask of Windows.
struct ServiceChoices {
  unsigned long startType;  // kServiceAutoStart or kServiceDemandStart
  bool delayedStart;
  const char* account;      // as the service manager names it
  bool restarts;
  unsigned long restartSeconds;
  unsigned long stopTimeoutSeconds;
};

// False, with a line on standard error naming the key and what it takes,
// when a value is not one its key takes.
bool readServiceChoices(ServiceChoices* choices);
// serviceStopTimeout alone: its default, with that line, when it cannot be taken.
unsigned long readStopTimeout(void);

// What the launcher says when the exe's own path cannot be read.
extern const char kNoOwnPath[];

#endif
