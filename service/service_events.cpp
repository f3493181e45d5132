#include "service/service_events.h"

#include <stdarg.h>

#include "common/diagnostics.h"

static EventSourceHandle source;

void openServiceEvents(const char* name) {
  unsigned long error = 0;
  source = servicePlatform.openEventSource(name, &error);
  if (!source) tellFailure("No event log", error);
}

void reportServiceEvent(EventType type, const char* format, ...) {
  TextBuffer text = {};
  va_list arguments;
  va_start(arguments, format);
  textAppendFormatList(&text, format, arguments);
  va_end(arguments);
  errorLine("%s\n", text.data);
  if (source && !servicePlatform.reportEvent(source, type, text.data))
    errorLine("Event not written\n");
  textFree(&text);
}

void tellFailure(const char* what, unsigned long error) {
  errorLine("%s (error %lu)\n", what, error);
}

void closeServiceEvents(void) {
  if (source) servicePlatform.closeEventSource(source);
  source = nullptr;
}
