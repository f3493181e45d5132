# The shipped launcher: a PE32 GUI-subsystem 4.0 exe that imports only
# Windows system DLLs (msvcrt, kernel32, user32, advapi32).
enable_language(RC)

# Also used by the benchmark's programs, which must be built like the launcher.
set(CORVANE_EXE_COMPILE_OPTIONS -fno-exceptions -fno-rtti -Wall -Wextra)
set(CORVANE_EXE_LINK_OPTIONS
  -static-libgcc -static-libstdc++ -s
  -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
)

add_executable(launcher WIN32
  app/Corvane.cpp
  platform/win32_platform.cpp
  resources/icons.rc
)
target_link_libraries(launcher PRIVATE corvane_core advapi32 user32 kernel32)
target_compile_options(launcher PRIVATE ${CORVANE_EXE_COMPILE_OPTIONS})
# The identification text names the main source file by its path in the project.
target_compile_options(launcher PRIVATE "-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=")
# -municode: the entry is wWinMain, and the C runtime splits the wide command line.
target_link_options(launcher PRIVATE ${CORVANE_EXE_LINK_OPTIONS} -municode)
