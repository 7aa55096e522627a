# The 64-bit toolchain with the -posix thread model, for the GoogleTest-based tests only:
# GoogleTest needs std::mutex, which the -win32 runtime of these compilers lacks. The
# program itself is built with -win32, whose runtime imports nothing newer than XP.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-x86_64-w64-mingw32.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
