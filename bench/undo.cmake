# The channel editor's undo history on a 10,000-service file: 100 undoable
# operations, the history's size, the peak memory and the time of one undo.
add_executable(vantrel-undo-bench ${CMAKE_CURRENT_SOURCE_DIR}/undo_bench.cpp)
set_target_properties(vantrel-undo-bench PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-undo-bench PRIVATE vantrel_common vantrel_channels)
