# The Windows test programs: the same cross-build with the POSIX-threads
# runtime, which GoogleTest's locks need. Never used for what ships.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(KESTROW_WINDOWS_TEST_BUILD ON)
