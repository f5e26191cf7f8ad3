# A 1 GB recording downloaded through the recordings window's job (progress
# window shown) against the plain FTP client, both from the simulator in the
# same run: vantrel-records-download [SIZE_MB].
if(VANTREL_GUI AND TARGET vantrel_ui_records AND TARGET vantrel_test_support)
  add_executable(vantrel-records-download ${CMAKE_CURRENT_SOURCE_DIR}/records_download.cpp)
  target_link_libraries(vantrel-records-download PRIVATE vantrel_common vantrel_ui_records vantrel_test_support
    Qt6::Widgets Qt6::Test)
  target_compile_definitions(vantrel-records-download PRIVATE
    VANTREL_RECEIVER_SIM="${PROJECT_SOURCE_DIR}/tools/receiver-sim/receiver-sim")
endif()
