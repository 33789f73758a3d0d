# Tests of the shapes area: mapping, copies, events, validation, reflection, archives.
ostrel_add_test(PlatformShapesTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/shapes/MapLinearTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shapes/GraphicTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shapes/ShapeArchiveTest.cpp)
