# Tests of the tools area: tool base, pins, records, metadata.
ostrel_add_test(PlatformToolsTests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/tools/SampleTool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tools/ToolBaseTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tools/ToolPinTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tools/MetaTest.cpp)
