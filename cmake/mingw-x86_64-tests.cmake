# The Windows test programs built for 64-bit Windows (see mingw-x86_64.cmake),
# with the POSIX-threads runtime GoogleTest's locks need.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(KESTROW_WINDOWS_TEST_BUILD ON)
