// The launcher's entry point (linked with -municode). Everything comes from
// the argument vector that the C runtime split from the wide command line;
// wWinMain's own parameters are unused.
#include "app/main_sequence.h"
#include "platform/win32_platform.h"

// Identification text, kept in the executable for tools that look for "@(#)".
extern "C" __attribute__((used)) const char corvaneIdentification[] =
    "@(#)" __FILE__ " Version: " CORVANE_VERSION " Compiled: " __DATE__ " at " __TIME__;

extern "C" int __stdcall wWinMain(void* /*instance*/, void* /*previous*/,
                                  wchar_t* /*commandLine*/, int /*showState*/) {
  installWin32Platform();
  int count = 0;
  char** arguments = win32Arguments(&count);
  return runLauncher(count, arguments);
}
