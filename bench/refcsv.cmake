# Reference list, CSV export and CSV import on a 10,000-service list with
# 20 % duplicates (Google Benchmark).
add_executable(vantrel-refcsv-bench ${CMAKE_CURRENT_SOURCE_DIR}/refcsv_bench.cpp)
set_target_properties(vantrel-refcsv-bench PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-refcsv-bench PRIVATE vantrel_common vantrel_channels benchmark::benchmark)
