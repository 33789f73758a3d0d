# Archives and the legacy converter.
target_sources(Ostrel.Vision.Core PRIVATE
  src/Persistence/Archive.cpp
  src/Persistence/Legacy.cpp
  src/Persistence/LegacyShapes.cpp
  src/Persistence/LegacyTable.cpp)

# The archive fuzz target (fuzz/archive_load.cpp): not part of the normal build.
option(OSTREL_BUILD_FUZZ "Build the archive fuzz target" OFF)
if(OSTREL_BUILD_FUZZ)
  add_executable(OstrelArchiveFuzz ${PROJECT_SOURCE_DIR}/fuzz/archive_load.cpp)
  target_include_directories(OstrelArchiveFuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform)
  target_link_libraries(OstrelArchiveFuzz PRIVATE Ostrel.Vision.Core)
endif()
