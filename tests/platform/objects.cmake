ostrel_add_test(PlatformObjectsTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/objects/EventsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/objects/MessagesTest.cpp)
