# Upload receiver benchmarks: Upload in memory beside one memmem pass over the same body, and
# beside cpp-httplib's multipart handling of the same body (a benchmark-only dependency).
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  add_executable(bench_upload ${CMAKE_CURRENT_LIST_DIR}/upload_bench.cpp ${PROJECT_SOURCE_DIR}/web/upload/multipart_body.cpp)
  target_include_directories(bench_upload PRIVATE ${PROJECT_SOURCE_DIR}/web/upload)
  target_link_libraries(bench_upload PRIVATE balance_upload benchmark::benchmark PkgConfig::HTTPLIB)
endif()
