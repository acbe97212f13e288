# Cross-compiling for 64-bit Windows with Debian's mingw-w64, the compiler built
# with POSIX threads (std::thread and std::mutex need them). The runtime is linked
# statically so that the programs run without mingw's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SIZEWISE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SIZEWISE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SIZEWISE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SIZEWISE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SIZEWISE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into each program; the system DLLs stay imports.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
