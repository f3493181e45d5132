// The launcher's entry points. The exes are linked without the C runtime's
// start-up code (cmake/launcher_exe.cmake): the linker makes corvaneStart
// the entry, which splits the command line itself and ends through the
// runtime's exit, which writes out what the standard streams hold.
// msvcrt.dll sets itself up as it is loaded. Compiled once as the GUI
// launcher, once with CORVANE_CONSOLE as the console launcher, and once with
// CORVANE_SERVICE as the service launcher; what it runs is in
// app/run_on_windows.cpp.
#include "app/main_sequence.h"
#include "app/run_on_windows.h"
#include "platform/platform.h"

// Identification text, kept in the executable for tools that look for "@(#)".
extern "C" __attribute__((used)) const char corvaneIdentification[] =
    "@(#)" __FILE__ " Version: " CORVANE_VERSION " Compiled: " __DATE__ " at " __TIME__;

// Windows starts a 32-bit program on a stack aligned to 4 bytes; code
// compiled with the compiler's default expects 16, as the runtime's start-up
// gave it. The launcher's build asks for 4 (cmake/launcher_exe.cmake), but
// the entry realigns all the same, whatever the build asks.
#ifdef __i386__
#define CORVANE_ENTRY extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void
#else
#define CORVANE_ENTRY extern "C" [[noreturn]] void
#endif

CORVANE_ENTRY corvaneStart(void) { endProcess(runOnWindows()); }
