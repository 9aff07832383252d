# The player's download: `cmake --build --preset win32 --target package` makes a ZIP of the
# program, the sample instrument sets and a readme, to unpack beside the games.
install(TARGETS KestSetup RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/MIDI DESTINATION .)
# Windows line ends, for Notepads that know no others.
configure_file(${PROJECT_SOURCE_DIR}/resources/KestSetup-ReadMe.txt.in
               ${PROJECT_BINARY_DIR}/KestSetup-ReadMe.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/KestSetup-ReadMe.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME KestSetup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Unpacked straight into the games' folder; the readme's name keeps clear of theirs.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The same commit gives the same bytes; a checksum file beside the ZIP, as sha256sum -c reads it,
# taken after the normalisation.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/NormalizePackage.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
