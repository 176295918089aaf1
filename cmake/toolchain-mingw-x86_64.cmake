# Cross-builds the Windows programs with Debian's mingw-w64 x86_64 compiler.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZB_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
