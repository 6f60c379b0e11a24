# The benchmark's floor program (bench/floor_window.cpp): built like the
# player itself (the same definitions, -static from the top level, WIN32 for
# -mwindows), so that the two differ only in what they do.
add_executable(floor_window WIN32 ${CMAKE_CURRENT_LIST_DIR}/floor_window.cpp)
target_include_directories(floor_window PRIVATE ${CMAKE_SOURCE_DIR}/engine)
target_compile_options(floor_window PRIVATE ${TUNEWELL_WARNINGS})
target_link_libraries(floor_window PRIVATE winmm gdi32 user32 kernel32)
set_target_properties(floor_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
