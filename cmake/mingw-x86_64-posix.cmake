# The 64-bit Windows-side tests (GoogleTest needs the posix thread model's std::mutex).
set(KEST_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
