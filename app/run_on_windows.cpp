// Compiled once for each exe, as its variant (CORVANE_CONSOLE: the console
// launcher; CORVANE_SERVICE: the service launcher), with link-time
// optimisation, unlike the entry (cmake/launcher_exe.cmake): the variant
// reaches the main sequence as a constant, and the code that only another
// variant runs is left out.
#include "app/run_on_windows.h"

#include "app/main_sequence.h"
#include "common/argument_vector.h"
#include "platform/win32_platform.h"
#ifdef CORVANE_SERVICE
#include "app/service_main.h"
#endif

#ifdef CORVANE_SERVICE
int runOnWindows(void) {
  installWin32Platform(true);
  ArgumentVector arguments = commandLineArguments();
  return runServiceLauncher(arguments.count, arguments.values);
}
#else
#ifdef CORVANE_CONSOLE
static const LauncherVariant kVariant = kConsoleLauncher;
#else
static const LauncherVariant kVariant = kGuiLauncher;
#endif

int runOnWindows(void) {
  installWin32Platform(kVariant == kConsoleLauncher);
  ArgumentVector arguments = commandLineArguments();
  return runLauncher(kVariant, arguments.count, arguments.values, arguments.quoted);
}
#endif
