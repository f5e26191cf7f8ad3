# FTP client throughput: one transfer with a counting observer; run
# bench/ftp_throughput.py, which sets it against curl on the simulator.
add_executable(vantrel-ftp-transfer ${CMAKE_CURRENT_SOURCE_DIR}/ftp_transfer.cpp)
set_target_properties(vantrel-ftp-transfer PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-ftp-transfer PRIVATE vantrel_common vantrel_ftp Qt6::Core)
