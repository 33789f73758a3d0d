ostrel_add_test(GeometryToolSpineTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PointPairToolsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultGraphicsTest.cpp)
ostrel_add_test(GeometryDistanceToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/PointShapeToolsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ShapeShapeToolsTest.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/mathutils/tests.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/fitting/tests.cmake)
ostrel_add_test(GeometryFitToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/FitToolsTest.cpp)
ostrel_add_test(GeometryIntersectionToolsTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/IntersectionToolsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/AngleLineLineToolTest.cpp)
ostrel_add_test(GeometryConstructionToolsTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ConstructionToolsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicLabelToolTest.cpp)
# Every registered class at once: its table, archives with every option, the golden
# archives of tests/data/archives and the legacy corpus of tests/data/legacy.
ostrel_add_test(GeometrySweepTests LIBS Ostrel.Vision.Geometry SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/sweep/Samples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sweep/ClassTableTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sweep/ArchiveSweepTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sweep/LegacyCorpusTest.cpp)
target_compile_definitions(GeometrySweepTests PRIVATE
  OSTREL_GOLDEN_ARCHIVES="${PROJECT_SOURCE_DIR}/tests/data/archives"
  OSTREL_LEGACY_CORPUS="${PROJECT_SOURCE_DIR}/tests/data/legacy")
# Rewrites the golden archives: ostrel-write-golden-archives tests/data/archives. Built on
# request only; a deliberate change of the wire format is the one reason to run it.
add_executable(ostrel-write-golden-archives EXCLUDE_FROM_ALL
  ${CMAKE_CURRENT_LIST_DIR}/sweep/WriteGoldenArchives.cpp ${CMAKE_CURRENT_LIST_DIR}/sweep/Samples.cpp)
target_link_libraries(ostrel-write-golden-archives PRIVATE Ostrel.Vision.Geometry OstrelTestCommon)
ostrel_add_test(GeometryReliabilityTests LIBS Ostrel.Vision.Geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostileInputsTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ThreadsTest.cpp)
