# The fuzz targets' entry points replayed over the committed seeds and findings
# (fuzz/corpus/<target>, fuzz/findings/<target>) as ordinary tests, in every build.
set(fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
add_library(OstrelFuzzReplay OBJECT ${fuzz_dir}/Replay.cpp ${fuzz_dir}/Exercise.cpp)
target_link_libraries(OstrelFuzzReplay PRIVATE Ostrel.Vision.Geometry)
foreach(target archive legacy-table)
  if(target STREQUAL "archive")
    set(entry ${fuzz_dir}/ArchiveLoad.cpp)
  else()
    set(entry ${fuzz_dir}/LegacyTable.cpp)
  endif()
  add_executable(ostrel-fuzz-replay-${target} ${entry})
  target_include_directories(ostrel-fuzz-replay-${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform)
  target_link_libraries(ostrel-fuzz-replay-${target} PRIVATE OstrelFuzzReplay Ostrel.Vision.Geometry)
  add_test(NAME FuzzReplay.${target}
           COMMAND ostrel-fuzz-replay-${target} ${fuzz_dir}/corpus/${target} ${fuzz_dir}/findings/${target})
endforeach()
