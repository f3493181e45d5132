# Cross build of the 32-bit Windows launcher with mingw-w64.
set(CORVANE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
