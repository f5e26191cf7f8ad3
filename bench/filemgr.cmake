# The file manager's download job against the plain client on the simulator
# (start tools/receiver-sim, then run vantrel-filemgr-job; see its header).
add_executable(vantrel-filemgr-job ${CMAKE_CURRENT_SOURCE_DIR}/filemgr_job.cpp)
set_target_properties(vantrel-filemgr-job PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-filemgr-job PRIVATE vantrel_common vantrel_ftp Qt6::Core)
# The file manager window's longest event-loop stall while it lists, fills a
# tree, deletes, downloads, and while the receiver vanishes, against a
# simulator at a receiver's pace: vantrel-filemgr-latency [REPLY_DELAY_MS].
if(VANTREL_GUI AND TARGET vantrel_ui_filemgr AND TARGET vantrel_test_support)
  add_executable(vantrel-filemgr-latency ${CMAKE_CURRENT_SOURCE_DIR}/filemgr_latency.cpp)
  target_link_libraries(vantrel-filemgr-latency PRIVATE vantrel_common vantrel_ui_filemgr vantrel_test_support
    Qt6::Widgets)
  target_compile_definitions(vantrel-filemgr-latency PRIVATE
    VANTREL_RECEIVER_SIM="${PROJECT_SOURCE_DIR}/tools/receiver-sim/receiver-sim")
endif()
