# Run by CPack on each package it has made, before the checksum is taken. The archive otherwise
# holds the install tree's file times, the builder's permissions, uid and gid, and its files in
# the order the file system listed them. strip-nondeterminism sorts the entries and sets every
# time to SOURCE_DATE_EPOCH, or to its fixed 1980 default without it, in UTC whatever TZ says;
# it makes permissions 644 or 755 and zeroes the uid and gid.
find_program(KEST_STRIP_NONDETERMINISM strip-nondeterminism)
if(NOT KEST_STRIP_NONDETERMINISM)
  message(WARNING "strip-nondeterminism not found: the package carries this build's file times "
                  "and owner and differs from any other build of the same commit")
  return()
endif()

set(timestamp)
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(timestamp --timestamp $ENV{SOURCE_DATE_EPOCH})
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${KEST_STRIP_NONDETERMINISM} --type zip ${timestamp} ${package}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "strip-nondeterminism could not normalise ${package}")
  endif()
endforeach()
