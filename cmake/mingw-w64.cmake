# Cross toolchain: 64-bit Windows with MinGW-w64 (posix thread model), run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TNVEXA_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TNVEXA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TNVEXA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TNVEXA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TNVEXA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run through the wrapper, which picks the private prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
