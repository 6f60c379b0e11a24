# Included by tests/CMakeLists.txt: each fuzzer runs for a bounded time on
# its corpus in build/native/<name>-corpus, with the checked-in seeds
# (tests/native/seeds/<folder>) when named. They need neither Wine nor the
# display, so they run beside the Wine programs.
function(native_fuzz_test name seconds)
  set(corpus ${CMAKE_BINARY_DIR}/native/${name}-corpus)
  set(seeds "")
  if(ARGN)
    set(seeds ${CMAKE_CURRENT_LIST_DIR}/seeds/${ARGN})
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer.sh ${CMAKE_BINARY_DIR}/native/${name} ${corpus} ${seconds} ${seeds})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 RESOURCE_LOCK cpu)
endfunction()

# Fuzz tests are added below, one line each.
native_fuzz_test(split_command_line_fuzzer 20 split_command_line)
native_fuzz_test(command_tail_fuzzer 10)
native_fuzz_test(device_name_fuzzer 10)
native_fuzz_test(handed_items_fuzzer 10)
native_fuzz_test(bmp_header_fuzzer 20)
native_fuzz_test(mp3_stream_fuzzer 25)
native_fuzz_test(container_kind_fuzzer 10 container_kind)
set_tests_properties(mp3_stream_fuzzer PROPERTIES FIXTURES_REQUIRED engine_mp3)
