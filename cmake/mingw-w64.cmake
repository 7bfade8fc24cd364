# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers.
# scripts/windows uses it for Qt, the libraries and the program alike, so all
# of them agree on one compiler and one C++ runtime. The -posix variants are
# the ones with C++ threads (std::thread, std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RP_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RP_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RP_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${RP_MINGW}-windres)
# With link-time optimisation the archives need the compiler's plug-in.
set(CMAKE_AR ${RP_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${RP_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come only from the MinGW tree and from the prefixes
# scripts/windows names in RP_WINDOWS_PREFIXES (the cached Qt and libraries,
# separated by ";"); programs run at build time come from the host. It goes
# through the environment so that CMake's own test compilations see it too.
set(CMAKE_FIND_ROOT_PATH /usr/${RP_MINGW} $ENV{RP_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
