ostrel_add_test(PlatformPersistenceTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/persistence/ArchiveTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/LegacyTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/LegacyShapesTest.cpp)
