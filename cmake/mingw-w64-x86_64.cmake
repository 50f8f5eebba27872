# Cross-builds 64-bit Windows executables on Debian with mingw-w64
# (packages g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64), for
# comparing the 64-bit build with the 32-bit one that teachers get.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(INFOTEST_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
