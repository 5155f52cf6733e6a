set(CMAKE_C_COMPILER   ${LEXANTO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LEXANTO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${LEXANTO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LEXANTO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: no binary may depend on libstdc++/libgcc/winpthread DLLs,
# because Windows loads the hook DLL into processes that do not have them.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
