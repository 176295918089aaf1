# The part of the two mingw-w64 toolchains that only differs by ZB_MINGW_TRIPLE: the POSIX
# threads variant of the compilers (so std::thread and std::mutex work) and the cross sysroot.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZB_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross sysroot only; programs (generators) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
