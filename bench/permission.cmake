# Permission benchmark: DispMenuItem of a 10 x 10 x 10 menu tree and GetPersonAccess of a person
# in 10 groups of 100 items, each beside one statement reading the same rows, in the same run.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_permission ${CMAKE_CURRENT_LIST_DIR}/permission_bench.cpp)
  target_link_libraries(bench_permission PRIVATE balance_permission benchmark::benchmark)
endif()
