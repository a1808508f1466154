# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, so that std::thread and friends are there). Everything is linked
# statically: the programs then run on Windows or Wine without the MinGW
# runtime DLLs next to them. mingw-w64-i686.cmake builds for 32-bit Windows
# with the same settings.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED MINGW_TRIPLE)
  set(MINGW_TRIPLE x86_64-w64-mingw32)
endif()
if(MINGW_TRIPLE MATCHES "^i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
