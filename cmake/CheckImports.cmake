# Usage: cmake -DALLOWED=<list> (-DPROGRAM=<exe> -DOBJDUMP=<objdump> | -DDUMP=<file> | -DLISTING=<file>)
#              -P CheckImports.cmake
#
# Fails unless every function a Windows program imports is in the allow-list, with Windows 95 as
# its oldest 9x release and NT 4.0 or earlier as its oldest NT release: the loader of an older
# Windows refuses a program for a single missing export, before any of its code runs. PROGRAM is
# read with objdump -p, which also shows the Windows version its header asks for; DUMP is a saved
# objdump -p text, judged the same way; LISTING gives the imports alone, one "DLL function" a line.
#
# An allow-list line is "DLL Function Oldest9x OldestNT Sources [note]"; # starts a comment.
# DLL names are compared without regard to case: toolchains spell them differently.
cmake_minimum_required(VERSION 3.20)

# The verdict goes out as written (CMake would rewrap an error's text), then the failure.
function(refuse)
  string(CONCAT verdict ${ARGV})
  message("${verdict}")
  message(FATAL_ERROR "refused")
endfunction()

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
  if(NOT OBJDUMP)
    message(FATAL_ERROR "no objdump to read ${PROGRAM} with: install the toolchain's binutils "
                        "(binutils-mingw-w64-i686)")
  endif()
  execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
  endif()
  get_filename_component(name "${PROGRAM}" NAME)
elseif(DUMP)
  file(READ "${DUMP}" dump)
  get_filename_component(name "${DUMP}" NAME)
endif()

if(DEFINED dump)
  # Both versions in the header, each as major.minor; a field objdump does not show reads "?".
  foreach(pair "OS version;MajorOSystemVersion;MinorOSystemVersion"
               "subsystem version;MajorSubsystemVersion;MinorSubsystemVersion")
    list(GET pair 0 what)
    list(SUBLIST pair 1 2 fields)
    set(version "")
    foreach(field IN LISTS fields)
      if(dump MATCHES "\n${field}[ \t]+([0-9]+)")
        list(APPEND version "${CMAKE_MATCH_1}")
      else()
        list(APPEND version "?")
      endif()
    endforeach()
    list(JOIN version "." version)
    if(NOT version STREQUAL "4.0")
      list(JOIN fields "." names)
      refuse("${name}: its header asks for ${what} ${version} (${names}), not 4.0: older "
             "Windows refuse to load it")
    endif()
  endforeach()

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

set(refused "")
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
    string(APPEND refused "\n  ${import}: ${verdict}")
  endif()
endforeach()
list(LENGTH imports count)
list(REMOVE_DUPLICATES dlls)
list(LENGTH dlls dll_count)
if(refused)
  string(REGEX MATCHALL "\n" refusals "${refused}")
  list(LENGTH refusals refused_count)
  refuse("${name}: ${refused_count} of ${count} imports are not allowed:${refused}\nAdd a "
         "function to ${ALLOWED} only with the evidence that Windows 95 and NT 4.0 export it.")
endif()
message("${name}: ${count} imports from ${dll_count} DLLs, each exported by Windows 95 and NT 4.0")
