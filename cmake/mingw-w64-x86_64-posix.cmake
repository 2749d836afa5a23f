# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model).
# Use through the `windows` preset, or: cmake --toolchain "$PWD/cmake/mingw-w64-x86_64-posix.cmake"
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_varnholt_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_varnholt_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_varnholt_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_varnholt_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_varnholt_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# libstdc++, libgcc and libwinpthread linked in: the executables import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# ctest runs the test executables through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
