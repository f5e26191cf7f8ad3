# Channel list: load and save times of generated lists; run bench/channels_bench.py.
add_executable(vantrel-channels-bench ${CMAKE_CURRENT_SOURCE_DIR}/channels_bench.cpp)
set_target_properties(vantrel-channels-bench PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-channels-bench PRIVATE vantrel_common vantrel_channels)
