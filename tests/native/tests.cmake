# Included by tests/CMakeLists.txt: each fuzzer runs for a bounded time on
# the seed corpus that the Wine tests (or the fuzzer's own seeds) leave in
# build/native/<name>-corpus.
function(native_fuzz_test name seconds)
  set(corpus ${CMAKE_BINARY_DIR}/native/${name}-corpus)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer.sh ${CMAKE_BINARY_DIR}/native/${name} ${corpus} ${seconds})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# Fuzz tests are added below, one line each.
native_fuzz_test(split_command_line_fuzzer 20)
native_fuzz_test(command_tail_fuzzer 10)
native_fuzz_test(device_name_fuzzer 10)
native_fuzz_test(handed_items_fuzzer 10)
native_fuzz_test(bmp_header_fuzzer 20)
native_fuzz_test(mp3_stream_fuzzer 25)
set_tests_properties(mp3_stream_fuzzer PROPERTIES FIXTURES_REQUIRED engine_mp3)
