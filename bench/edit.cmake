# Channel list editing: renumbering, block moves, sorts, deletions and group
# edits on a 10,000-service list (Google Benchmark).
add_executable(vantrel-edit-bench ${CMAKE_CURRENT_SOURCE_DIR}/edit_bench.cpp)
set_target_properties(vantrel-edit-bench PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-edit-bench PRIVATE vantrel_common vantrel_channels benchmark::benchmark)
