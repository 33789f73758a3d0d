# Tests: one GoogleTest executable per area, built from the sources its tests.cmake lists
# (tests/platform/<area>.cmake, tests/geometry/tests.cmake, ...). A new test file joins its
# area by adding its name to that list; a new area adds one ostrel_add_test call. Keeping
# the number of executables small keeps links few; their cases are registered with CTest
# one by one, so `ctest -R` still picks single tests.
#
# ostrel_add_test(<name> SOURCES <files...> [LIBS <targets...>])
function(ostrel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} OstrelTestCommon GTest::gtest GTest::gmock GTest::gtest_main)
  ostrel_precompile_headers(${name} SHARED OstrelTestPch)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}.")
endfunction()
