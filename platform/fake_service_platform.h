// The fake of the service table (service_platform.h): a service control
// manager in memory, the running service's reports, its Java's console and
// end, its log files and its events, all scripted and recorded. Its state
// is FakeState::service (fake_platform.h); installFakePlatform installs it
// too, and every entry can fail as the platform's do (FAKE_SERVICE_ENTRY),
// but the closes and localTime, which Windows does not let fail.
#ifndef CORVANE_PLATFORM_FAKE_SERVICE_PLATFORM_H
#define CORVANE_PLATFORM_FAKE_SERVICE_PLATFORM_H

#include <map>
#include <string>
#include <vector>

#include "platform/service_platform.h"

// A registered service. After a start or a stop it shows its pending state
// to pendingQueries queries, then the state the control brings it to.
struct FakeService {
  std::string displayName;
  std::string command;
  unsigned long startType = kServiceAutoStart;
  std::string account = "LocalSystem";
  std::string dependencies;
  std::string description;
  bool delayedStart = false;
  unsigned long failureResetSeconds = 0;
  std::vector<ServiceAction> failureActions;
  bool failureOnNonCrash = false;
  unsigned long preshutdownMilliseconds = 180000;
  ServiceState state = {kServiceStopped, 0, kErrorServiceNeverStarted, 0};
  int pendingQueries = 0;
  ServiceState afterPending = {};
};

struct FakeEvent {
  std::string source;
  EventType type;
  std::string text;
};

// Never, for the time Java takes to end after Ctrl+C.
static const unsigned long kFakeNever = (unsigned long)-1;

struct FakeServiceWorld {
  // The service control manager: its services by lower-case name, and how
  // controls play out.
  std::map<std::string, FakeService> services;
  bool elevated = true;       // false: opening anything for changes is denied
  int pendingQueries = 0;     // what each start and stop sets for its service
  // What a start brings a service to: running (with the process below), or
  // stopped at once with a service-specific code, as when its Java fails.
  bool startRuns = true;
  unsigned long startFailureCode = 126;
  bool stopHangs = false;     // a stop never gets past stop pending
  unsigned long nextServiceProcess = 3000;
  std::map<unsigned long, unsigned long> children;  // the running child of a process, by its id

  // The running service: whether the manager started the process, the
  // arguments its main gets, and what it reported, in order.
  bool startedByManager = true;
  std::vector<std::string> startParameters = {"agent"};
  std::vector<char*> mainArguments;  // what its main was called with
  std::vector<ServiceStatusReport> reports;
  // What the wait for Java or a stop gives (after javaEndsFirst waits in
  // which Java ends); how long Java takes to end after Ctrl+C (kFakeNever:
  // it does not).
  int javaEndsFirst = 0;
  ServiceWait javaOrStop = kWaitJavaEnded;
  unsigned long javaEndsAfterInterrupt = 0;
  bool consoleOpen = false;
  bool interrupted = false;
  unsigned long interruptedAt = 0;
  unsigned long clock = 0;  // milliseconds slept and waited, in all

  // The event log's events (the service's log is a file of the fake's).
  std::vector<FakeEvent> events;
  LocalTime now = {2026, 12, 4, 10, 9, 30, 0, 0};

  // What is open now.
  int openServiceHandles = 0;
  int openEventSources = 0;
};

// Entries of the service table count after the platform table's.
#define FAKE_SERVICE_ENTRY(name) (sizeof(PlatformOps) + offsetof(ServicePlatformOps, name))
#define FAKE_SERVICE_CALL_FAILS(name) fakeCallFails(FAKE_SERVICE_ENTRY(name), #name)
// The service, registered (by lower-case name), or NULL.
FakeService* fakeService(const std::string& name);
// Every handle closes, every open count is 0: nothing of the service left open.
int fakeServiceOpenCount(void);

// For the fake's own files: called by installFakePlatform.
void installFakeServicePlatform(void);

#endif
