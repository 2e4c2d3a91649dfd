# Shared part of the mingw-w64 toolchains; OWL_CROSS_PREFIX names the target.
set(CMAKE_C_COMPILER ${OWL_CROSS_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OWL_CROSS_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OWL_CROSS_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OWL_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The compiler's runtime (libgcc, libstdc++, winpthread) goes inside each
# binary, so the DLL needs nothing beside it but the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
