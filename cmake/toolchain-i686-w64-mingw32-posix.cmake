# The 32-bit toolchain with the -posix thread model, for the GoogleTest-based tests of the
# 32-bit program (see toolchain-x86_64-w64-mingw32-posix.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686-w64-mingw32.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
