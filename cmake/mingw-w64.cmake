# Cross build for Windows with Debian's MinGW-w64, 64-bit by default;
# mingw-w64-i686.cmake sets MINGW_TRIPLE for the 32-bit program.
#
# The program is built with the win32 thread model (MINGW_THREADS=win32, the
# default): the posix one links winpthreads, which imports GetTickCount64 and
# so cannot load on Windows XP, and nothing of the program needs std::thread
# on Windows. The test programs take the posix model (MINGW_THREADS=posix):
# GoogleTest needs std::mutex, which GCC 12's win32 model lacks; they test
# the shipped moonrake.exe, built apart. Everything is linked statically, so
# the programs run on Windows or Wine with no MinGW runtime DLL beside them.
# The PE headers ask for no newer subsystem than XP's (5.1 for 32-bit, 5.2
# for 64-bit), since a newer one is refused by XP's loader.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED MINGW_TRIPLE)
  set(MINGW_TRIPLE x86_64-w64-mingw32)
endif()
if(MINGW_TRIPLE MATCHES "^i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
  set(subsystem_version 5.1)
  # Doubles in SSE2 registers, as on x86-64: on the x87 unit a product can
  # keep extra precision, and a half that decides a rounding would then fall
  # the other way. This leaves out processors without SSE2 (before the
  # Pentium 4 and the Athlon 64).
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
else()
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(subsystem_version 5.2)
endif()
if(NOT DEFINED MINGW_THREADS)
  set(MINGW_THREADS win32)
endif()
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-${MINGW_THREADS})
# CTest runs the test programs under the project's headless Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-run)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-${MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

string(REPLACE "." ";" version_parts ${subsystem_version})
list(GET version_parts 0 subsystem_major)
list(GET version_parts 1 subsystem_minor)
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -Wl,--major-subsystem-version,${subsystem_major},--minor-subsystem-version,${subsystem_minor},--major-os-version,${subsystem_major},--minor-os-version,${subsystem_minor}")
