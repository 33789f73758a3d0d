# Tests of the spaces area: transforms, coordinate space trees, images.
ostrel_add_test(PlatformSpacesTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/spaces/TransformTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spaces/SpaceTreeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spaces/ImageTest.cpp)
