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
# 32-bit launcher.
set(CORVANE_EXE_COMPILE_OPTIONS -fno-exceptions -fno-rtti -Wall -Wextra
    -ffunction-sections -fdata-sections)
set(CORVANE_EXE_LINK_OPTIONS
  -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
  -Wl,--major-subsystem-version,${CORVANE_WINDOWS_MAJOR}
  -Wl,--minor-subsystem-version,${CORVANE_WINDOWS_MINOR}
  -Wl,--major-os-version,${CORVANE_WINDOWS_MAJOR}
  -Wl,--minor-os-version,${CORVANE_WINDOWS_MINOR}
)

# What every launcher exe is made of: its entry, the Windows platform and its
# resources (resources/launcher.rc: the icons and the manifest).
set(CORVANE_LAUNCHER_SOURCES
  app/Corvane.cpp
  platform/win32_platform.cpp
  resources/launcher.rc
)

foreach(library corvane_core corvane_service)
  target_compile_options(${library} PRIVATE -ffunction-sections -fdata-sections)
  set_target_properties(${library} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
endforeach()

add_executable(launcher WIN32 ${CORVANE_LAUNCHER_SOURCES})
set_target_properties(launcher PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
target_link_libraries(launcher PRIVATE corvane_core advapi32 user32 kernel32)
target_compile_options(launcher PRIVATE ${CORVANE_EXE_COMPILE_OPTIONS})
# The identification text names the main source file by its path in the project.
target_compile_options(launcher PRIVATE "-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=")
# -municode: the entry is wWinMain, and the C runtime splits the wide command line.
target_link_options(launcher PRIVATE ${CORVANE_EXE_LINK_OPTIONS} -municode)

# The console launcher for command-line tools (launcherc.exe): the same
# sources, resources, libraries and options as the launcher above, linked as a
# console-subsystem exe whose entry (wmain) selects the console variant.
add_executable(launcherc ${CORVANE_LAUNCHER_SOURCES})
# The service launcher (launchersvc.exe), a console-subsystem exe too, whose
# entry (wmain, with CORVANE_SERVICE) runs a command or the service: it adds
# the service's logic and platform table, and a message table for its events.
add_executable(launchersvc app/Corvane.cpp platform/win32_platform.cpp
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
