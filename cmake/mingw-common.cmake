# Shared part of the mingw-w64 toolchain files. The runtime libraries are
# linked statically so the programs run on a bare Windows with no DLL of ours.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VEXA_MINGW_ARCH})
set(VEXA_TRIPLE ${VEXA_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${VEXA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VEXA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEXA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# CTest runs the Windows test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
