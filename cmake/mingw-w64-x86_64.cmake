# Cross-building for 64-bit Windows with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix, the variant with C++ threads). Libraries for
# Windows are looked for in the compiler's own tree and below the folders in
# CMAKE_PREFIX_PATH, never among the build machine's. Programs come out
# statically linked: one .exe that needs nothing but Windows itself.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#       -DCMAKE_PREFIX_PATH=/where/the/windows/libraries/are
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SKEINPRESS_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER ${SKEINPRESS_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${SKEINPRESS_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${SKEINPRESS_MINGW_TRIPLET}-windres)
find_program(CMAKE_AR ${SKEINPRESS_MINGW_TRIPLET}-gcc-ar-posix)
find_program(CMAKE_RANLIB ${SKEINPRESS_MINGW_TRIPLET}-gcc-ranlib-posix)

# Searches stay inside these roots, so the build machine's /usr is never
# taken for Windows libraries; the prefixes given are roots too.
set(CMAKE_FIND_ROOT_PATH /usr/${SKEINPRESS_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthread) goes into every .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Test programs run under Wine on the build machine.
find_program(SKEINPRESS_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(SKEINPRESS_WINE64 NAMES wine64 wine)
if(SKEINPRESS_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEDEBUG=-all ${SKEINPRESS_WINE64})
endif()
