# Page path benchmark: the demo's static file, a hello page and the signed-in person list through
# the site's request path without the network, in the same run.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_host_pages ${CMAKE_CURRENT_LIST_DIR}/host_page_bench.cpp)
  target_link_libraries(bench_host_pages PRIVATE balance_host balance_components balance_scripting
                        balance_password benchmark::benchmark)
  target_compile_definitions(bench_host_pages PRIVATE BALANCE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
