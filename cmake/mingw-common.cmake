# Debian's mingw-w64 comes in two thread models. The program is built with the win32 one, which
# links no POSIX thread library: winpthreads would import functions of Windows XP and Vista
# (GetTickCount64 among them) and the loader of older Windows would refuse the program.
# GoogleTest needs std::mutex, which only the posix model has, so the trees of the Windows-side
# tests use that one (KEST_MINGW_THREADS posix). Linking statically keeps the runtime's own DLLs
# out of the import table, so either program imports system DLLs only.
if(NOT KEST_MINGW_THREADS)
  set(KEST_MINGW_THREADS win32)
endif()
find_program(CMAKE_C_COMPILER NAMES ${KEST_MINGW_PREFIX}-gcc-${KEST_MINGW_THREADS}
             ${KEST_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KEST_MINGW_PREFIX}-g++-${KEST_MINGW_THREADS}
             ${KEST_MINGW_PREFIX}-g++ REQUIRED)
# CMake keeps the compiler a tree was first configured with, whatever this file says now.
if(CMAKE_CXX_COMPILER MATCHES "-(posix|win32)$" AND
   NOT CMAKE_CXX_COMPILER MATCHES "-${KEST_MINGW_THREADS}$")
  message(FATAL_ERROR "This tree was configured with ${CMAKE_CXX_COMPILER}; it is now built with "
                      "the ${KEST_MINGW_THREADS} thread model. Configure it anew (--fresh).")
endif()
find_program(CMAKE_RC_COMPILER NAMES ${KEST_MINGW_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${KEST_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
