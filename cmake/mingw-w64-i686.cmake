# Cross-builds 32-bit (x86) Windows executables on Debian with mingw-w64
# (packages g++-mingw-w64-i686-posix and binutils-mingw-w64-i686). A 32-bit
# program runs on 32- and 64-bit Windows alike, and on Windows on ARM
# through its x86 emulation: this is the build that teachers get.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(INFOTEST_MINGW_TRIPLE i686-w64-mingw32)

# Doubles computed as doubles, as on x86-64: by default 32-bit GCC computes
# them on the x87 unit with 80-bit intermediates, so that a draw of 14/21
# times 21 gives 13.999... and an integer part of 13 where every other build
# gives 14. SSE2 has been in every x86 processor since about 2003 (Windows 8
# and later require it). Windows calls the program back with a stack
# aligned to 4 bytes only; -mstackrealign keeps SSE code that relies on 16
# safe there.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
