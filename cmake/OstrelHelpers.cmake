# Tests: one GoogleTest executable per area, built from the sources its tests.cmake lists
# (tests/platform/<area>.cmake, tests/geometry/tests.cmake, ...). A new test file joins its
# area by adding its name to that list; a new area adds one ostrel_add_test call. Keeping
# the number of executables small keeps links few; their cases are registered with CTest
# one by one, so `ctest -R` still picks single tests.
#
# ostrel_add_test(<name> SOURCES <files...> [LIBS <targets...>] [NO_PCH])
# NO_PCH: an area that uses none of the framework's headers (the fitting library's tests,
# with Eigen) compiles without the shared precompiled header; g++ 12 rejects Eigen's
# prefetches in an unoptimised build that uses it.
# Test code compiles unoptimised in every build type (the libraries it tests keep theirs):
# typed suites over many tools are template-heavy, and -O0 compiles them about a quarter
# faster while the suite runs as fast, its time being in the libraries.
function(ostrel_add_test name)
  cmake_parse_arguments(ARG "NO_PCH" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} OstrelTestCommon GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${OSTREL_TEST_OPTIONS})
  if(NOT ARG_NO_PCH)
    ostrel_precompile_headers(${name} SHARED OstrelTestPch)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}.")
endfunction()
