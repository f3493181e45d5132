#include "service/service_events.h"

#include <stdarg.h>

#include "common/diagnostics.h"

static EventSourceHandle source;

void openServiceEvents(const char* name) {
  unsigned long error = 0;
  source = servicePlatform.openEventSource(name, &error);
  if (!source) errorLine("No event goes to the event log (error %lu)\n", error);
}

void reportServiceEvent(EventType type, const char* format, ...) {
  TextBuffer text = {};
  va_list arguments;
  va_start(arguments, format);
  textAppendFormatList(&text, format, arguments);
  va_end(arguments);
  errorLine("%s\n", text.data);
  if (source && !servicePlatform.reportEvent(source, type, text.data))
    errorLine("The event could not be written to the event log\n");
  textFree(&text);
}

void closeServiceEvents(void) {
  if (source) servicePlatform.closeEventSource(source);
  source = nullptr;
}
