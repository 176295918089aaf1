# Cross-builds the Windows programs with Debian's mingw-w64 i686 compiler.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZB_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
