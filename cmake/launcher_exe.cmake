# The launcher: a GUI-subsystem exe that imports only Windows system DLLs
# (msvcrt, kernel32, user32, advapi32). The shipped 32-bit build is a PE32 exe
# of subsystem 4.0; the 64-bit build a PE32+ exe of subsystem 5.2, the lowest
# version that 64-bit Windows loads and its own linker writes for x64 images.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CORVANE_WINDOWS_MAJOR 5)
  set(CORVANE_WINDOWS_MINOR 2)
else()
  set(CORVANE_WINDOWS_MAJOR 4)
  set(CORVANE_WINDOWS_MINOR 0)
endif()

# Also used by the benchmark's programs, which must be built like the launcher.
# Built for size: each function and datum in a section of its own, so that the
# linker drops what no entry reaches, and (below) link-time optimisation, which
# inlines the many small helpers across files: together about 2.5 KiB of the
# 32-bit launcher. Then the size options, given to the compiler and, for the
# code that link-time optimisation makes, to the link (they come after the
# build type's -Os, and the last -O wins): -Oz; no frame pointer (x64 has
# none already); a function called once is not inlined for that alone, which
# made the main sequence one function of 8 KiB that kept too much on its
# stack; and the 32-bit code keeps its stack aligned to 4 bytes, as Windows
# and its DLLs do, instead of 16: it has no data that needs more (the
# compiler realigns a function that has), and stops padding each frame.
# Together 1,552 bytes of the 32-bit launcher's code. And data is aligned as
# its type asks, no more: the compiler otherwise puts an array of 32 bytes or
# more on a 32-byte boundary (180 bytes of padding in the 32-bit .rdata).
# Two optimisations that make code larger are left out: saving a register
# around a call rather than keeping the value where calls leave it, and the
# dominator pass, which copies blocks to thread jumps through them (200 bytes
# of the 32-bit code). A switch compares its cases instead of jumping through
# a table of addresses (20 bytes of .rdata and their relocations).
set(CORVANE_SIZE_OPTIONS -Oz -fomit-frame-pointer -fno-inline-functions-called-once
    -malign-data=abi -fno-caller-saves -fno-tree-dominator-opts -fno-jump-tables)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND CORVANE_SIZE_OPTIONS -mpreferred-stack-boundary=2)
endif()
set(CORVANE_EXE_COMPILE_OPTIONS -fno-exceptions -fno-rtti -Wall -Wextra
    -ffunction-sections -fdata-sections ${CORVANE_SIZE_OPTIONS})
set(CORVANE_EXE_LINK_OPTIONS ${CORVANE_SIZE_OPTIONS}
  -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
  -Wl,--major-subsystem-version,${CORVANE_WINDOWS_MAJOR}
  -Wl,--minor-subsystem-version,${CORVANE_WINDOWS_MINOR}
  -Wl,--major-os-version,${CORVANE_WINDOWS_MAJOR}
  -Wl,--minor-os-version,${CORVANE_WINDOWS_MINOR}
)

# The launcher exes start at an entry of their own (corvaneStart in
# app/Corvane.cpp) instead of the C runtime's start-up code, which splits the
# command line (the entry does that itself) and sets up what the launcher does
# not use: global constructors and destructors, thread-local storage, the
# unhandled-exception filter, the FPU, runtime pseudo-relocations, and unwind
# tables for all of it. The least launcher of the benchmark starts the same
# way. The linker refuses what would need that code: data that only the
# runtime's relocator could import (--disable-auto-import), and a global
# constructor, which nothing would run (the script's assertion: the list of
# constructors holds only its two end markers). A 32-bit C name has a
# leading underscore at the link.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CORVANE_C_NAME_PREFIX _)
endif()
math(EXPR CORVANE_EMPTY_CONSTRUCTOR_LIST "2 * ${CMAKE_SIZEOF_VOID_P}")
set(CORVANE_NO_CONSTRUCTORS_SCRIPT ${CMAKE_BINARY_DIR}/no_constructors.ld)
file(WRITE ${CORVANE_NO_CONSTRUCTORS_SCRIPT}
     "ASSERT(__DTOR_LIST__ - __CTOR_LIST__ == ${CORVANE_EMPTY_CONSTRUCTOR_LIST}, "
     "\"a global constructor: the launcher's entry runs none\")\n")
# The linker (binutils 2.40) crashes when, after link-time optimisation, it
# has to take a function from a library that nothing before it needed: an
# entry defined in an optimised object, a C library function that the
# compiler knew as a builtin (so it did not say it calls it), the stack probe
# that the compiler adds to a large frame. So the entry's file is compiled
# to machine code at once, the launcher's code calls library functions as
# plain functions, and the stack probe is asked for from the start. Should
# the linker crash again, -Wl,-u,<name> of what it then took (-Wl,-Map
# lists the members that an .ltrans object needed) is the remedy.
set(CORVANE_ENTRY_COMPILE_OPTIONS -fno-lto)
set(CORVANE_LIBRARY_CALL_OPTIONS -fno-builtin)
set(CORVANE_ENTRY_LINK_OPTIONS -nostartfiles -Wl,-e,${CORVANE_C_NAME_PREFIX}corvaneStart
    -Wl,--disable-auto-import -Wl,-u,___chkstk_ms ${CORVANE_NO_CONSTRUCTORS_SCRIPT})

# What every launcher exe is made of: its entry, what the entry runs, the
# Windows platform and its resources (resources/launcher.rc: the icons and
# the manifest). Each exe compiles them itself, as its variant.
set(CORVANE_LAUNCHER_SOURCES
  app/Corvane.cpp
  app/run_on_windows.cpp
  platform/win32_platform.cpp
  resources/launcher.rc
)

foreach(library corvane_core corvane_service)
  target_compile_options(${library} PRIVATE -ffunction-sections -fdata-sections
                         ${CORVANE_SIZE_OPTIONS} ${CORVANE_LIBRARY_CALL_OPTIONS})
  set_target_properties(${library} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
endforeach()

add_executable(launcher WIN32 ${CORVANE_LAUNCHER_SOURCES})
set_target_properties(launcher PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
target_link_libraries(launcher PRIVATE corvane_core advapi32 user32 kernel32)
target_compile_options(launcher PRIVATE ${CORVANE_EXE_COMPILE_OPTIONS}
                       ${CORVANE_LIBRARY_CALL_OPTIONS})
set_source_files_properties(app/Corvane.cpp PROPERTIES COMPILE_OPTIONS "${CORVANE_ENTRY_COMPILE_OPTIONS}")
# The identification text names the main source file by its path in the
# project. Nothing refers to it, so the linker is told to keep it.
target_compile_options(launcher PRIVATE "-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=")
target_link_options(launcher PRIVATE ${CORVANE_EXE_LINK_OPTIONS} ${CORVANE_ENTRY_LINK_OPTIONS}
                    -Wl,-u,${CORVANE_C_NAME_PREFIX}corvaneIdentification)

# The console launcher for command-line tools (launcherc.exe): the same
# sources, resources, libraries and options as the launcher above, linked as a
# console-subsystem exe whose entry selects the console variant.
add_executable(launcherc ${CORVANE_LAUNCHER_SOURCES})
# The service launcher (launchersvc.exe), a console-subsystem exe too, whose
# entry (with CORVANE_SERVICE) runs a command or the service: it adds
# the service's logic and platform table, and a message table for its events.
add_executable(launchersvc app/Corvane.cpp app/run_on_windows.cpp platform/win32_platform.cpp
               platform/win32_service_platform.cpp resources/service.rc)
foreach(target launcherc launchersvc)
  foreach(property LINK_LIBRARIES COMPILE_OPTIONS COMPILE_DEFINITIONS LINK_OPTIONS
                   INTERPROCEDURAL_OPTIMIZATION)
    get_target_property(value launcher ${property})
    if(value)
      set_target_properties(${target} PROPERTIES ${property} "${value}")
    endif()
  endforeach()
endforeach()
target_compile_definitions(launcherc PRIVATE CORVANE_CONSOLE)
target_compile_definitions(launchersvc PRIVATE CORVANE_SERVICE)
target_link_libraries(launchersvc PRIVATE corvane_service)
# The service table bound when the exe is compiled: its calls are direct.
target_compile_definitions(corvane_service PUBLIC CORVANE_BOUND_SERVICE_TABLE)
