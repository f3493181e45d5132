// The launcher's entry point. Everything comes from the argument vector that
// the C runtime split from the command line; WinMain's own parameters are unused.
#include <stdlib.h>

#include "app/main_sequence.h"
#include "platform/win32_platform.h"

// Identification text, kept in the executable for tools that look for "@(#)".
extern "C" __attribute__((used)) const char corvaneIdentification[] =
    "@(#)" __FILE__ " Version: " CORVANE_VERSION " Compiled: " __DATE__ " at " __TIME__;

extern "C" int __stdcall WinMain(void* /*instance*/, void* /*previous*/, char* /*commandLine*/,
                                 int /*showState*/) {
  installWin32Platform();
  return runLauncher(__argc, __argv);
}
