# List page benchmark: DispList of the first and a middle page of a million-row table beside
# the recordset paging it is built on, measured in the same run.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_dna ${CMAKE_CURRENT_LIST_DIR}/dna_list_bench.cpp)
  target_link_libraries(bench_dna PRIVATE balance_dna benchmark::benchmark)
endif()
