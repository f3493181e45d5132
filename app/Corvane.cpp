// The launcher's entry points (linked with -municode). Everything comes from
// the argument vector that the C runtime split from the wide command line;
// the entry's own parameters are unused. Compiled once as the GUI launcher
// (wWinMain), once, with CORVANE_CONSOLE, as the console launcher (wmain),
// and once, with CORVANE_SERVICE, as the service launcher (wmain).
#include "app/main_sequence.h"
#include "platform/win32_platform.h"
#ifdef CORVANE_SERVICE
#include "app/service_main.h"
#include "platform/win32_service_platform.h"
#endif

// Identification text, kept in the executable for tools that look for "@(#)".
extern "C" __attribute__((used)) const char corvaneIdentification[] =
    "@(#)" __FILE__ " Version: " CORVANE_VERSION " Compiled: " __DATE__ " at " __TIME__;

#if defined(CORVANE_SERVICE)
extern "C" int wmain(int /*count*/, wchar_t** /*arguments*/, wchar_t** /*environment*/) {
  installWin32Platform();
  installWin32ServicePlatform();
  int count = 0;
  char** arguments = win32Arguments(&count);
  return runServiceLauncher(count, arguments);
}
#else
static int runOnWindows(LauncherVariant variant) {
  installWin32Platform();
  int count = 0;
  char** arguments = win32Arguments(&count);
  return runLauncher(variant, count, arguments);
}

#ifdef CORVANE_CONSOLE
extern "C" int wmain(int /*count*/, wchar_t** /*arguments*/, wchar_t** /*environment*/) {
  return runOnWindows(kConsoleLauncher);
}
#else
extern "C" int __stdcall wWinMain(void* /*instance*/, void* /*previous*/,
                                  wchar_t* /*commandLine*/, int /*showState*/) {
  return runOnWindows(kGuiLauncher);
}
#endif
#endif
