# The Windows download: `cmake --build build --target package` makes
# Tunewell-<version>-win32.zip holding the program, its MP3 engine beside it
# and a read-me. Everything is linked statically, so nothing else needs
# installing on Windows.
install(TARGETS Tunewell RUNTIME DESTINATION .)
if(TARGET vbmp3)
  install(TARGETS vbmp3 RUNTIME DESTINATION .)
endif()

# Notepad on older Windows shows a file with bare LF line ends as one line.
# The read-me is UTF-8 with a byte-order mark (kept from the source), which
# Notepad shows, Japanese menu names included, whatever the system's code
# page.
configure_file(${CMAKE_SOURCE_DIR}/docs/ReadMe-Windows.txt ${CMAKE_BINARY_DIR}/package/ReadMe.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/package/ReadMe.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tunewell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Tunewell-${PROJECT_VERSION}-win32)
# The three files sit at the top of the zip: Explorer's "Extract All"
# already puts them into a folder named after the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The download carries no debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
