// The service's registration: with the service control manager, and as
// an event source of the Application event log.
#ifndef CORVANE_SERVICE_SERVICE_INSTALL_H
#define CORVANE_SERVICE_SERVICE_INSTALL_H

#include "platform/service_platform.h"
#include "service/service_settings.h"

// What install registers for the service: the exe's full path in quotes
// (with " -d" in debug mode) as its command, and the keys' choices (heap
// texts, the caller's; releaseServiceConfig gives them back). All NULL when
// the exe's own path cannot be read.
ServiceConfig wantedServiceConfig(const char* name, const ServiceChoices* choices);
void releaseServiceConfig(ServiceConfig* config);

// Registers the service as wanted, or, when it is registered already,
// changes what differs; then registers its event source. When a step
// fails, a new service is deleted again and a changed one gets its earlier
// settings back, so that no registration is left half-written. False, with
// *error the failed step's system error code and *restored whether the
// earlier state came back, when it failed; *updated tells a change from a
// new registration.
bool installService(const char* name, const ServiceConfig* wanted, bool* updated,
                    unsigned long* error, bool* restored);

// Removes the event source's key; true when it is gone or was never there.
bool removeEventSource(const char* name, unsigned long* error);

#endif
