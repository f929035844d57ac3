# Cross build for 64-bit Windows with the MinGW-w64 compilers of Debian
# (package g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(toolchain_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${toolchain_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${toolchain_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${toolchain_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${toolchain_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static linking: the executables then need no MinGW runtime libraries beside them
# (without them Wine exits silently).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# GCC 12 reports false -Wrestrict warnings on string concatenations that it inlines at -O2
# in this library configuration (GCC bug 105329); the warning stays on for the Linux builds.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
