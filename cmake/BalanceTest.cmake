# balance_test(NAME SOURCES... LIBS ...): one GoogleTest executable, registered with CTest.
if(BALANCE_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(balance_test name)
  if(NOT BALANCE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT
                       "BALANCE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
