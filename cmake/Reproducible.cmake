# The same commit builds the same bytes, wherever it is checked out and whenever it is built.

# __FILE__ names sources by their path inside the repository rather than on the build machine
# (the program shows only the file's name). Debug information keeps the real paths, for
# debuggers; the shipped program is stripped of it.
if(NOT MSVC AND CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang|AppleClang)$")
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=>)
endif()

# The PE header's link time: SOURCE_DATE_EPOCH when the build has one, otherwise 0, never the
# clock. GNU ld ignores SOURCE_DATE_EPOCH under --no-insert-timestamp, so that flag goes only to
# links without it, chosen as each link runs (a linker launcher: CMake 3.21, a host with a
# shell) or else when the tree is configured.
if(WIN32 AND NOT MSVC)
  if(CMAKE_HOST_UNIX AND NOT CMAKE_VERSION VERSION_LESS 3.21)
    set(CMAKE_C_LINKER_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/pe-timestamp.sh)
    set(CMAKE_CXX_LINKER_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/pe-timestamp.sh)
  elseif("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()
