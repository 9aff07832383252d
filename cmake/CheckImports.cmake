# Usage: cmake -DALLOWED=<list> (-DPROGRAM=<exe> -DOBJDUMP=<objdump> | -DLISTING=<file>) -P CheckImports.cmake
#
# Fails unless every function a Windows program imports is in the allow-list, with Windows 95 as
# its oldest 9x release and NT 4.0 or earlier as its oldest NT release: the loader of an older
# Windows refuses a program for a single missing export, before any of its code runs. PROGRAM is
# read with objdump -p, which also shows the Windows version its header asks for; LISTING gives
# the imports directly, one "DLL function" a line.
#
# An allow-list line is "DLL Function Oldest9x OldestNT Sources [note]"; # starts a comment.
# DLL names are compared without regard to case: toolchains spell them differently.
cmake_minimum_required(VERSION 3.20)

set(allowed_nt 3.1 3.5 3.51 4.0)
file(STRINGS "${ALLOWED}" lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^([^ \t]+)[ \t]+([^ \t]+)[ \t]+([^ \t]+)[ \t]+([^ \t]+)[ \t]+([^ \t]+)")
    message(FATAL_ERROR "${ALLOWED}: an entry needs a DLL, a function, its oldest 9x and NT "
                        "releases and its sources: '${line}'")
  endif()
  string(TOUPPER "${CMAKE_MATCH_1}" dll)
  if(CMAKE_MATCH_3 STREQUAL "95" AND CMAKE_MATCH_4 IN_LIST allowed_nt)
    set(verdict.${dll}.${CMAKE_MATCH_2} ok)
  else()
    set(verdict.${dll}.${CMAKE_MATCH_2}
        "its oldest releases are 9x ${CMAKE_MATCH_3} and NT ${CMAKE_MATCH_4}")
  endif()
endforeach()

# The imports as "DLL function" entries.
set(imports "")
if(PROGRAM)
  execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
  endif()
  foreach(field MajorOSystemVersion MinorOSystemVersion MajorSubsystemVersion
                MinorSubsystemVersion)
    string(REGEX MATCH "${field}[ \t]+([0-9]+)" found "${dump}")
    list(APPEND versions "${CMAKE_MATCH_1}")
  endforeach()
  if(NOT versions STREQUAL "4;0;4;0")
    message(FATAL_ERROR "${PROGRAM} asks for Windows ${versions} (OS major, minor; subsystem "
                        "major, minor), not 4.0: older Windows refuse to load it")
  endif()
  string(REPLACE ";" "," dump "${dump}")
  string(REPLACE "\n" ";" dump "${dump}")
  set(dll "")
  foreach(line IN LISTS dump)
    if(line MATCHES "^[ \t]*DLL Name: (.+)$")
      set(dll "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^[ \t]*$" OR line MATCHES "^[^ \t]")
      set(dll "") # the end of a DLL's table
    elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+)( +(.+))?$")
      # A function imported by ordinal alone has no name (#ordinal): it is never allowed.
      if(CMAKE_MATCH_3)
        list(APPEND imports "${dll} ${CMAKE_MATCH_3}")
      else()
        list(APPEND imports "${dll} #${CMAKE_MATCH_1}")
      endif()
    endif()
  endforeach()
  get_filename_component(name "${PROGRAM}" NAME)
else()
  file(STRINGS "${LISTING}" lines REGEX "^[^#]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "[ \t]+" " " line "${line}")
    list(APPEND imports "${line}")
  endforeach()
  get_filename_component(name "${LISTING}" NAME)
endif()
if(NOT imports)
  message(FATAL_ERROR "${name}: no imports found")
endif()

set(refused 0)
set(dlls "")
foreach(import IN LISTS imports)
  string(REGEX MATCH "^([^ ]+) (.+)$" found "${import}")
  string(TOUPPER "${CMAKE_MATCH_1}" dll)
  list(APPEND dlls ${dll})
  set(verdict "${verdict.${dll}.${CMAKE_MATCH_2}}")
  if(NOT verdict)
    set(verdict "not in the allow-list")
  endif()
  if(NOT verdict STREQUAL "ok")
    message("  ${import}: ${verdict}")
    math(EXPR refused "${refused} + 1")
  endif()
endforeach()
list(LENGTH imports count)
list(REMOVE_DUPLICATES dlls)
list(LENGTH dlls dll_count)
if(refused)
  message(FATAL_ERROR "${name}: ${refused} of ${count} imports are not allowed; add a function to "
                      "${ALLOWED} only with the evidence that Windows 95 and NT 4.0 export it")
endif()
message("${name}: ${count} imports from ${dll_count} DLLs, each exported by Windows 95 and NT 4.0")
