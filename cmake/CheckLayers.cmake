# Usage: cmake "-DRULES=<folder>=<folder>,...|..." -DSOURCES=<src> [-DSTAMP=<file>] -P CheckLayers.cmake
#
# Fails unless every quoted include of every source under SOURCES names a header of the file's
# own folder or of a folder its rule allows; touches STAMP when all do. A folder with no rule is
# not a layer, and everything in it is refused.
cmake_minimum_required(VERSION 3.20)

string(REPLACE "|" ";" RULES "${RULES}")
foreach(rule IN LISTS RULES)
  string(REGEX MATCH "^([^=]+)=(.*)$" found "${rule}")
  string(REPLACE "," ";" allowed "${CMAKE_MATCH_2}")
  set(allowed.${CMAKE_MATCH_1} "${allowed}")
  set(layer.${CMAKE_MATCH_1} TRUE)
endforeach()

file(GLOB_RECURSE sources RELATIVE ${SOURCES} ${SOURCES}/*.h ${SOURCES}/*.cpp)
list(SORT sources)
set(refused "")
foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  if(NOT layer.${folder})
    string(APPEND refused "\n  ${source}: ${folder} is no layer")
    continue()
  endif()
  file(STRINGS ${SOURCES}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
    get_filename_component(used "${header}" DIRECTORY)
    # Headers without a folder are the resources' (resource.h, Version.h).
    if(used STREQUAL "" OR used STREQUAL folder OR used IN_LIST allowed.${folder})
      continue()
    endif()
    list(JOIN allowed.${folder} ", " may)
    if(NOT may)
      set(may "nothing")
    endif()
    string(APPEND refused "\n  ${source} includes ${header}: ${folder} may use ${may}")
  endforeach()
endforeach()

if(refused)
  message("Includes against the layers:${refused}")
  message(FATAL_ERROR "refused")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
