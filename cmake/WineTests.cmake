# Windows test programs run under Wine in a prefix of their own, one at a time: they share
# the settings key, the mutexes and the one desktop. The scripts keep one prefix per Wine in
# KEST_WINEPREFIX, so that the same tree's tests also run under another Wine. The prefix turns on
# heap checking for the programs that run our code; Wine reports what it finds on the error
# channel of heap alone.
set(KEST_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KEST_WINE_ENVIRONMENT
    WINEPREFIX=${KEST_WINEPREFIX}
    WINEDEBUG=-all,err+heap
    WINEDLLOVERRIDES=mscoree,mshtml=)

add_test(NAME wine.prefix.setup
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh start ${KEST_WINEPREFIX} ${CMAKE_CROSSCOMPILING_EMULATOR})
add_test(NAME wine.prefix.cleanup
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh stop ${KEST_WINEPREFIX} ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(wine.prefix.setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine)
set_tests_properties(wine.prefix.cleanup PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine)

# kest_add_wine_test(<name> <target> [args...])
function(kest_add_wine_test name target)
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${KEST_WINE_ENVIRONMENT}"
    FIXTURES_REQUIRED wine
    RESOURCE_LOCK wine
    FAIL_REGULAR_EXPRESSION "err:heap"
    TIMEOUT 300)
endfunction()
