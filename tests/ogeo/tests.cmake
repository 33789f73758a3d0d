# ogeo end to end: runs the program built beside the tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
ostrel_add_test(OgeoTests NO_PCH LIBS ogeo-host PkgConfig::EXPAT SOURCES ${CMAKE_CURRENT_LIST_DIR}/OgeoTest.cpp)
target_compile_definitions(OgeoTests PRIVATE OGEO_EXECUTABLE="$<TARGET_FILE:ogeo>")
add_dependencies(OgeoTests ogeo)
