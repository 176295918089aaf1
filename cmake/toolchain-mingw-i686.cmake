# Cross-builds the Windows programs with Debian's mingw-w64 i686 compiler (POSIX threads variant,
# so std::thread and std::mutex work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ZB_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZB_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross sysroot only; programs (generators) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
