# The Windows download: `cmake --build build --target package` makes
# Tunewell-<version>-win32.zip holding the program, its MP3 engine beside it,
# a read-me and the licences of the libraries inside the engine. Everything is linked statically, so nothing else needs
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

# The decoder libraries inside VBMP3.dll are under BSD-style licences
# whose notices go with every copy of the program.
set(licences ${CMAKE_BINARY_DIR}/package/Licenses.txt)
set(text "Tunewell's MP3 engine (VBMP3.dll) contains these libraries:\n")
foreach(library flac libogg libvorbis opus opusfile)
  file(READ ${TUNEWELL_CODECS_PREFIX}/licenses/${library}.txt notice)
  string(APPEND text "\n==== ${library} ====\n\n${notice}")
endforeach()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${licences} "${text}")
install(FILES ${licences} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tunewell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Tunewell-${PROJECT_VERSION}-win32)
# The files sit at the top of the zip: Explorer's "Extract All"
# already puts them into a folder named after the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The download carries no debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
