# balance_test(NAME SOURCES... LIBS ... [TIMEOUT seconds]): one GoogleTest executable, its
# tests registered with CTest. Every test has a timeout (60 s unless the caller needs longer),
# so a hang fails fast under the test's own name instead of stalling the whole run.
if(BALANCE_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

set(BALANCE_TEST_TIMEOUT 60 CACHE STRING "Default timeout of one test, in seconds")

function(balance_test name)
  if(NOT BALANCE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${BALANCE_TEST_TIMEOUT})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT
                       "BALANCE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
