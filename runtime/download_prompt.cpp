#include "runtime/download_prompt.h"

#include <string.h>

#include "common/diagnostics.h"
#include "common/launch_settings.h"
#include "common/text.h"
#include "platform/platform.h"

static const char kJava142Page[] = "http://java.sun.com/j2se/1.4.2/download.html";
static const char kLatestJavaPage[] = "http://www.java.com/en/download/download_the_latest.jsp";

// The page for a version, or NULL when there is none.
static const char* downloadPageFor(const char* version) {
  if (textStartsWith(version, "1.4.2")) return kJava142Page;
  if (textStartsWith(version, "1.5")) return kLatestJavaPage;
  return nullptr;
}

// The page between the quotes of the browser command. A '"' would end the
// quoted page early and make the rest of the value arguments of their own,
// and control characters do not belong on a command line: both are
// percent-encoded, which a browser reads as the character itself.
static char* quotablePage(const char* page) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  TextBuffer text = {};
  for (const unsigned char* c = (const unsigned char*)page; *c; ++c) {
    if (*c == '"' || *c < 0x20 || *c == 0x7F) {
      char escaped[] = {'%', kHexDigits[*c >> 4], kHexDigits[*c & 15], '\0'};
      textAppend(&text, escaped);
    } else {
      textAppendChar(&text, (char)*c);
    }
  }
  return textRelease(&text);
}

// The page "downloadPage" names, else fallback, as the browser is to get it;
// NULL when there is none.
static char* offeredPage(const char* fallback) {
  const char* page = textIsEmpty(settings.downloadPage) ? fallback : settings.downloadPage;
  return page ? quotablePage(page) : nullptr;
}

// Only a web address goes to the browser: url.dll's handler opens whatever
// it is given, a program or a document on a share as well. rundll32.exe is
// named by its full path in the system directory: a bare name would be
// looked for beside the launcher and in the current directory first, where
// anyone who can write there (a Downloads folder) may have put one. The
// browser inherits no handle of the launcher's; a failed start is not
// reported, and a started one is not waited for.
static void openPage(const char* page) {
  if (!textStartsWithFolded(page, "http:") && !textStartsWithFolded(page, "https:")) {
    showError("The download page\n%s\nis not a web address (http: or https:) and is not opened.",
              page);
    return;
  }
  char* directory = platform.systemDirectory();
  char* command = directory ? formatText("\"%s\\rundll32.exe\" url.dll,FileProtocolHandler \"%s\"",
                                         directory, page)
                            : nullptr;
  ProcessHandle process = nullptr;
  unsigned long errorCode = 0;
  if (command && platform.startProcess(command, nullptr, &process, &errorCode))
    platform.closeProcess(process);
  releaseMemory(command);
  releaseMemory(directory);
}

void offerDownloadPage(const char* caption, const char* text, const char* question,
                       const char* fallback) {
  char* page = offeredPage(fallback);
  if (askToOpenPage(caption, text, question, page) && page) openPage(page);
  releaseMemory(page);
}

static const char* applicationLabel(void) {
  if (!textIsEmpty(settings.appname)) return settings.appname;
  return settings.mainclass;  // "(null)" when absent
}

// Offers "downloadPage", else the page settings.javaVersion selects, if any.
void promptDownload(const char* caption) {
  char* text = formatText("%s requires the Java Runtime Environment version %s",
                          applicationLabel(), settings.javaVersion);
  const char* versionPage =
      textIsEmpty(settings.javaVersion) ? nullptr : downloadPageFor(settings.javaVersion);
  offerDownloadPage(caption, text, "Do you want to download it?", versionPage);
  releaseMemory(text);
}
