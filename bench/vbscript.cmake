# Script engines side by side: VBScript from platform/vbscript against JScript on the Duktape
# the page host links, on the same small programs, with the ratio printed per program.
if(BALANCE_WEB)
  find_package(benchmark REQUIRED)
  add_executable(bench_vbscript ${CMAKE_CURRENT_LIST_DIR}/vbscript_vs_jscript_bench.cpp)
  target_link_libraries(bench_vbscript PRIVATE balance_vbscript balance_scripting balance_duktape
    benchmark::benchmark)
endif()
