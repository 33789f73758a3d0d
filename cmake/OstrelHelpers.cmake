# ostrel_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable per area, its cases registered with CTest one by one.
function(ostrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} OstrelTestCommon GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}.")
endfunction()
