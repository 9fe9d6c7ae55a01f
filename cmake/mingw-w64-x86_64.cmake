# CMake toolchain for 64-bit Windows with Debian's MinGW-w64 cross compilers,
# the posix-thread variant (its libstdc++ has std::thread, std::mutex and
# std::condition_variable on winpthreads).
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake [-DFC_WINDOWS_DEPS=DIR]
#
# Libraries are found first in the prefixes under FC_WINDOWS_DEPS (by default
# <build>/deps, where scripts/windows-libs.sh puts them), then in the MinGW
# sysroot (Debian's libz-mingw-w64-dev), never among the host's. Only static
# libraries are found, and libgcc, libstdc++ and winpthreads are linked
# statically, so an executable needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FC_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FC_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FC_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FC_MINGW}-windres)
set(CMAKE_AR ${FC_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${FC_MINGW}-ranlib CACHE FILEPATH "")

# try_compile projects read this file again in a folder of their own.
if(NOT FC_WINDOWS_DEPS)
  set(FC_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps)
endif()
set(FC_WINDOWS_DEPS ${FC_WINDOWS_DEPS} CACHE PATH "Prefixes of the cross-built libraries")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FC_WINDOWS_DEPS)

file(GLOB FC_WINDOWS_PREFIXES LIST_DIRECTORIES true ${FC_WINDOWS_DEPS}/*/.built)
list(TRANSFORM FC_WINDOWS_PREFIXES REPLACE "/\\.built$" "")
set(CMAKE_FIND_ROOT_PATH ${FC_WINDOWS_PREFIXES} /usr/${FC_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# CMake's Windows platform files prefer import libraries (.dll.a); the rule
# override, read after them, leaves only static ones.
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-static.cmake)
# A static library needs its own dependencies too (Libs.private).
set(PKG_CONFIG_ARGN --static CACHE STRING "")

# pkg-config reads the same prefixes' .pc files and none of the host's.
set(fc_pc_dirs ${FC_WINDOWS_PREFIXES})
list(TRANSFORM fc_pc_dirs APPEND /lib/pkgconfig)
list(APPEND fc_pc_dirs /usr/${FC_MINGW}/lib/pkgconfig)
list(JOIN fc_pc_dirs ":" fc_pc_path)
set(ENV{PKG_CONFIG_LIBDIR} "${fc_pc_path}")
set(ENV{PKG_CONFIG_PATH} "")
unset(fc_pc_dirs)
unset(fc_pc_path)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
