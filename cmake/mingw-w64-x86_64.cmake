# Cross-builds 64-bit Windows executables on Debian with mingw-w64
# (packages g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64): for
# comparing the 64-bit build with the 32-bit one that teachers get, and for
# running the tests on a kernel that runs no 32-bit code, where no 32-bit
# Wine starts.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(INFOTEST_MINGW_TRIPLE x86_64-w64-mingw32)

# ctest runs the .exe files through 64-bit Wine's own loader. Debian's
# `wine` command starts the 32-bit loader whenever 32-bit Wine is installed
# (which fails with "Exec format error" where the kernel runs no 32-bit
# code) and leaves the 64-bit one, wine64 (package wine64), outside PATH in
# /usr/lib/wine. Found here first, it is the emulator mingw-w64.cmake sets.
find_program(INFOTEST_WINE NAMES wine64 wine PATHS /usr/lib/wine)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
