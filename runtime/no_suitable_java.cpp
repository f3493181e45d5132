#include "runtime/no_suitable_java.h"

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"
#include "runtime/download_prompt.h"

static const char* given(const char* value) { return textIsEmpty(value) ? nullptr : value; }

void tellNoJavaFits(const JavaCandidate* candidates, int count) {
  const char* low = given(settings.minJava);
  const char* high = given(settings.maxJava);
  const char* bits = given(settings.javaBits);
  const char* name = given(settings.appname);
  TextBuffer text = {};
  // "Java 11 to 17", "Java 11 or later", "Java 17 or earlier" or "Java", then " (64-bit)".
  char* need = formatText("%s needs Java%s%s%s%s%s%s%s%s.\n\n%s", name ? name : "This application",
                          low || high ? " " : "", low ? low : "",
                          low ? (high ? " to " : " or later") : "", high ? high : "",
                          high && !low ? " or earlier" : "", bits ? " (" : "", bits ? bits : "",
                          bits ? "-bit)" : "",
                          count ? "Found on this computer:\n" : "No Java was found on this computer.\n");
  textAppend(&text, need);
  releaseMemory(need);
  for (int i = 0; i < count; ++i) {
    describeCandidate(&text, &candidates[i]);
    textAppendChar(&text, '\n');
  }
  offerDownloadPage(name ? name : "Java Not Found", text.data,
                    "Do you want to open the download page?", DEFAULT_DOWNLOAD_PAGE);
  textFree(&text);
}
