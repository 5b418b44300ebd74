# Raster plug-in benchmarks: balance through dlsym (values per second) and, with GDAL, the
# helper that makes the mosaic raster_apply.sh times.
if(TARGET balance_raster)
  find_package(benchmark REQUIRED)
  add_executable(raster_balance_bench raster_balance_bench.cpp)
  target_link_libraries(raster_balance_bench PRIVATE benchmark::benchmark gridloom ${CMAKE_DL_LIBS})
  target_compile_definitions(raster_balance_bench PRIVATE
    BALANCE_RASTER_PLUGIN="$<TARGET_FILE:balance_raster>")
  add_dependencies(raster_balance_bench balance_raster)
endif()

if(TARGET balance-raster)
  find_package(GDAL CONFIG REQUIRED)
  add_executable(raster_make_mosaic raster_make_mosaic.cpp)
  target_link_libraries(raster_make_mosaic PRIVATE GDAL::GDAL)
endif()
