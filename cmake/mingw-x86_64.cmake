# The same sources as a 64-bit program: the Wine-side tests run this build on hosts whose
# kernel cannot execute 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KEST_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
find_program(KEST_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KEST_WINE64 NAMES wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KEST_WINE64})
