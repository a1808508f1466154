# Cross build for 32-bit Windows (i686) with Debian's MinGW-w64: as
# mingw-w64.cmake, for the other compiler. This is the Windows program users
# take: the client it drives is a 32-bit program.
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
