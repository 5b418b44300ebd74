# Data access benchmark: one list page of a million-row table (open, PageSize, AbsolutePage,
# read the page) for the first, middle and last page, beside a bare count(*) of the same table.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_ado ${CMAKE_CURRENT_LIST_DIR}/ado_page_bench.cpp)
  target_link_libraries(bench_ado PRIVATE balance_ado benchmark::benchmark)
endif()
