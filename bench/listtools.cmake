# Reference list, CSV export and CSV import on a 10,000-service list with
# 20 % duplicates (Google Benchmark).
add_executable(vantrel-listtools-bench ${CMAKE_CURRENT_SOURCE_DIR}/listtools_bench.cpp)
set_target_properties(vantrel-listtools-bench PROPERTIES AUTOMOC OFF)
target_link_libraries(vantrel-listtools-bench PRIVATE vantrel_common vantrel_channels benchmark::benchmark)
