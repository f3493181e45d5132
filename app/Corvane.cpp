// The launcher's entry points. The exes are linked without the C runtime's
// start-up code (cmake/launcher_exe.cmake): the linker makes corvaneStart
// the entry, which splits the command line itself and ends through the
// runtime's exit, which writes out what the standard streams hold.
// msvcrt.dll sets itself up as it is loaded. Compiled once as the GUI
// launcher, once with CORVANE_CONSOLE as the console launcher, and once with
// CORVANE_SERVICE as the service launcher.
#include "app/main_sequence.h"
#include "common/argument_vector.h"
#include "platform/platform.h"
#include "platform/win32_platform.h"
#ifdef CORVANE_SERVICE
#include "app/service_main.h"
#endif

// Identification text, kept in the executable for tools that look for "@(#)".
extern "C" __attribute__((used)) const char corvaneIdentification[] =
    "@(#)" __FILE__ " Version: " CORVANE_VERSION " Compiled: " __DATE__ " at " __TIME__;

// Windows starts a 32-bit program on a stack aligned to 4 bytes; the code
// the compiler makes for it expects 16, as the runtime's start-up gave it.
#ifdef __i386__
#define CORVANE_ENTRY extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void
#else
#define CORVANE_ENTRY extern "C" [[noreturn]] void
#endif

#if defined(CORVANE_SERVICE)
CORVANE_ENTRY corvaneStart(void) {
  installWin32Platform(true);
  ArgumentVector arguments = commandLineArguments();
  endProcess(runServiceLauncher(arguments.count, arguments.values));
}
#else
static int runOnWindows(LauncherVariant variant) {
  installWin32Platform(variant == kConsoleLauncher);
  ArgumentVector arguments = commandLineArguments();
  return runLauncher(variant, arguments.count, arguments.values, arguments.quoted);
}

#ifdef CORVANE_CONSOLE
CORVANE_ENTRY corvaneStart(void) { endProcess(runOnWindows(kConsoleLauncher)); }
#else
CORVANE_ENTRY corvaneStart(void) { endProcess(runOnWindows(kGuiLauncher)); }
#endif
#endif
