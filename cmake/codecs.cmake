# The decoder libraries the MP3 engine links statically: libFLAC, libogg,
# libvorbis with vorbisfile, libopus and opusfile. scripts/build_codecs.sh
# builds them from Debian's sources into build/codecs/prefix before CMake
# runs (build_all in scripts/common.sh sees to it).
set(TUNEWELL_CODECS_PREFIX ${CMAKE_BINARY_DIR}/codecs/prefix CACHE PATH
    "Where scripts/build_codecs.sh installed the decoder libraries")

if(NOT IS_DIRECTORY ${TUNEWELL_CODECS_PREFIX}/lib)
  message(FATAL_ERROR "The decoder libraries are missing (no ${TUNEWELL_CODECS_PREFIX}/lib): "
                      "run scripts/build_codecs.sh, or scripts/build.sh, which runs it before configuring")
endif()

# Each before the libraries it calls.
set(tunewell_codec_libraries)
foreach(name opusfile opus vorbisfile vorbis ogg FLAC)
  set(library ${TUNEWELL_CODECS_PREFIX}/lib/lib${name}.a)
  if(NOT EXISTS ${library})
    message(FATAL_ERROR "${library} is missing: run scripts/build_codecs.sh")
  endif()
  list(APPEND tunewell_codec_libraries ${library})
endforeach()

add_library(tunewell_codecs INTERFACE)
# SYSTEM: the project's warnings are for its own code, not these headers.
target_include_directories(tunewell_codecs SYSTEM INTERFACE
  ${TUNEWELL_CODECS_PREFIX}/include
  # opusfile.h includes <opus_multistream.h> from opus's own folder.
  ${TUNEWELL_CODECS_PREFIX}/include/opus)
# Without it FLAC's headers declare its functions imported from a DLL.
target_compile_definitions(tunewell_codecs INTERFACE FLAC__NO_DLL)
target_link_libraries(tunewell_codecs INTERFACE ${tunewell_codec_libraries})
