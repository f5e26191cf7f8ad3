# The file manager's download job against the plain client on the simulator
# (start tools/receiver-sim, then run vantrel-filemgr-job; see its header).
add_executable(vantrel-filemgr-job ${CMAKE_CURRENT_SOURCE_DIR}/filemgr_job.cpp)
set_target_properties(vantrel-filemgr-job PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-filemgr-job PRIVATE vantrel_common vantrel_ftp Qt6::Core)
