# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Programs are linked statically (C and C++ runtime, threads), so that they run from a
# folder on any Windows machine without extra DLLs. Where Wine is installed it runs the
# test programs (CTest's cross-compiling emulator).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_ds_mingw x86_64-w64-mingw32)
# The "posix" variants carry the full C++ thread support (std::thread, std::mutex).
find_program(_ds_mingw_cxx NAMES ${_ds_mingw}-g++-posix ${_ds_mingw}-g++ REQUIRED)
find_program(_ds_mingw_cc NAMES ${_ds_mingw}-gcc-posix ${_ds_mingw}-gcc REQUIRED)
set(CMAKE_CXX_COMPILER ${_ds_mingw_cxx})
set(CMAKE_C_COMPILER ${_ds_mingw_cc})
find_program(CMAKE_RC_COMPILER NAMES ${_ds_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_ds_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The program an office copies onto its machines: a Release build, stripped of its symbols
# and debug sections. The debug build is one option away (-DCMAKE_BUILD_TYPE=Debug or
# RelWithDebInfo).
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type")
endif()
# GCC 12 of Debian's MinGW-w64 warns wrongly that "text" + std::string may overlap when it
# optimises (GCC bug 105329, mended in GCC 13).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG -ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s -Wl,--gc-sections")

find_program(_ds_wine NAMES wine wine64)
if(_ds_wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${_ds_wine})
endif()
# Tests are listed when CTest runs them, not while building, so that building needs no
# Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
