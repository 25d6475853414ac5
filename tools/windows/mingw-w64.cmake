# Cross-building for 64-bit Windows with Debian's mingw-w64 compilers, the
# posix thread model (std::thread and std::async need it), against the Qt
# that tools/windows/build-qt makes (DATARIUM_WINDOWS_QT). Test programs run
# under Wine through tools/windows/wine-run. ISA-L is the static library that
# tools/windows/build-isal makes (DATARIUM_WINDOWS_ISAL).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${DATARIUM_WINDOWS_QT} ${DATARIUM_WINDOWS_ISAL})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Qt5_DIR ${DATARIUM_WINDOWS_QT}/lib/cmake/Qt5 CACHE PATH "")
# Qt's translation tools run on the build machine: Debian's own.
set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools CACHE PATH "")
# zlib is linked in, so that no zlib1.dll has to travel with the programs.
set(ZLIB_INCLUDE_DIR /usr/${triple}/include CACHE PATH "")
set(ZLIB_LIBRARY /usr/${triple}/lib/libz.a CACHE FILEPATH "")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
