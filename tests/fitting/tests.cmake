find_package(Eigen3 CONFIG REQUIRED)
ostrel_add_test(FittingTests NO_PCH LIBS korm Eigen3::Eigen SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FittingTest.cpp)
