# Tests of the geometry primitives against long double references.
ostrel_add_test(PlatformPrimitivesTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/primitives/ValuesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives/EllipseDistanceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives/RoundDistancesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives/IntersectionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives/TangencyTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primitives/PolylineTest.cpp)
