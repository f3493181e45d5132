// What the running service tells: a line in its log and, for each start,
// stop and failure, an event in the Windows Application event log under
// the service's name.
#ifndef CORVANE_SERVICE_SERVICE_EVENTS_H
#define CORVANE_SERVICE_SERVICE_EVENTS_H

#include "common/text.h"
#include "platform/service_platform.h"

// Events go to the source from now on; without one (it cannot be
// registered: a log line says why), only the log gets the lines.
void openServiceEvents(const char* source);
// A line in the log, and the same text as an event of the type.
void reportServiceEvent(EventType type, const char* format, ...) CORVANE_PRINTF(2, 3);
void closeServiceEvents(void);

// "what (error N)" on a line of its own: a system call that failed.
void tellFailure(const char* what, unsigned long error);

#endif
