# Wine reads every section of a program into memory when it loads it, the
# debugging information too (4 MB of Tunewell.exe's 5): the built program
# and engine keep theirs in a file beside them (NAME.debug, which debuggers
# find through the link left in the program) and carry none themselves.
function(tunewell_keep_debug_info_beside target)
  set(file $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug ${file}
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${file}.debug ${file}
    VERBATIM)
endfunction()
