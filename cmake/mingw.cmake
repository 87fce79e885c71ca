# The mingw-w64 cross compilers for the triple the target's toolchain file sets.
# The posix thread model gives GoogleTest its std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${ZEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
