# What both mingw-w64 toolchain files share; each sets
# CMAKE_SYSTEM_PROCESSOR and INFOTEST_MINGW_TRIPLE before including it.
# The -posix compilers use the POSIX thread model, which std::thread and
# std::mutex need; the -win32 ones lack them.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${INFOTEST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${INFOTEST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${INFOTEST_MINGW_TRIPLE}-windres)

# Libraries and headers come from the Windows sysroot only; build tools
# come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${INFOTEST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static linking puts libstdc++, libgcc and winpthread into each .exe, so it
# runs on a school computer (or under Wine) with no MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# ctest runs the .exe files through Wine when it is installed; building
# needs no Wine.
find_program(INFOTEST_WINE wine)
if(INFOTEST_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${INFOTEST_WINE})
endif()
