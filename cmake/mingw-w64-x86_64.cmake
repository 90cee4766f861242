# CMake toolchain file: builds 64-bit Windows programs with Debian's mingw-w64 (posix threads).
# Programs link statically (-static), so an exe imports only system DLLs. Test programs run
# through wine via tools/wine-run.sh (CMAKE_CROSSCOMPILING_EMULATOR, used by ctest).
# Libraries built for Windows (libcurl, Qt from tools/build-*-windows.sh) are found when their
# install folders are given in CMAKE_PREFIX_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

# Look for headers, libraries and packages only in the mingw tree and in the given prefixes
# (a path under one of these roots is not re-rooted); programs come from the build host.
string(REPLACE ":" ";" _env_prefixes "$ENV{CMAKE_PREFIX_PATH}")
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${CMAKE_PREFIX_PATH} ${_env_prefixes})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR
                       ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh ABSOLUTE)
