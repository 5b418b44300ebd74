# Leader overview benchmark: DispLeaderMonth of 200 persons with 3,000 plans in the month beside
# one statement reading the same plans joined with their place names, and the peak memory of
# overviews of more and more persons.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_scheduler ${CMAKE_CURRENT_LIST_DIR}/scheduler_leader_bench.cpp)
  target_link_libraries(bench_scheduler PRIVATE balance_scheduler benchmark::benchmark)
endif()
