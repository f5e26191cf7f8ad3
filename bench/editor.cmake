# The channel editor window on a 10,000-service file: open and display, sort
# by name from a header click, renumber (wall-clock times, offscreen).
if(VANTREL_GUI)
  add_executable(vantrel-editor-bench ${CMAKE_CURRENT_SOURCE_DIR}/editor_bench.cpp)
  target_link_libraries(vantrel-editor-bench PRIVATE vantrel_common vantrel_ui_channel)
endif()
