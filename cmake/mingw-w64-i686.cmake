# Cross-builds 32-bit (x86) Windows executables on Debian with mingw-w64
# (packages g++-mingw-w64-i686-posix and binutils-mingw-w64-i686). A 32-bit
# program runs on 32- and 64-bit Windows alike, and on Windows on ARM
# through its x86 emulation: this is the build that teachers get.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(INFOTEST_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
