# MathUtils computations.
ostrel_add_test(MathUtilsTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MathUtilsDistanceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MathUtilsIntersectionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MathUtilsRangeTest.cpp)
