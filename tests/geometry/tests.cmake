ostrel_add_test(GeometryToolSpineTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PointPairToolsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PointPairPersistenceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistrationTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultGraphicsTest.cpp)
ostrel_add_test(GeometryDistanceToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/PointShapeToolsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ShapeShapeToolsTest.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/mathutils/tests.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/fitting/tests.cmake)
ostrel_add_test(GeometryFitToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/FitToolsTest.cpp)
ostrel_add_test(GeometryIntersectionToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/IntersectionToolsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/AngleLineLineToolTest.cpp)
ostrel_add_test(GeometryConstructionToolsTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ConstructionToolsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicLabelToolTest.cpp)
ostrel_add_test(GeometryReliabilityTests LIBS Ostrel.Vision.Geometry korm SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostileInputsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ThreadsTest.cpp)
