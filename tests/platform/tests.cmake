# Platform tests; each area lists its own test sources in tests/platform/<area>.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/objects.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/spaces.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/shapes.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/persistence.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/primitives.cmake)
