# Cross-compiling zel.dll for 64-bit Windows with mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEL_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_TRIPLE}-g++-posix)  # the posix thread model: std::mutex for GoogleTest
set(CMAKE_RC_COMPILER  ${ZEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
