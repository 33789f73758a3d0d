# The fuzz targets' entry points replayed over the committed seeds and findings
# (fuzz/corpus/<target>, fuzz/findings/<target>) as ordinary tests, in every build.
set(fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
add_library(OstrelFuzzReplay OBJECT ${fuzz_dir}/Replay.cpp ${fuzz_dir}/Exercise.cpp)
target_link_libraries(OstrelFuzzReplay PRIVATE Ostrel.Vision.Geometry)
set(fuzz_entry_archive ArchiveLoad.cpp)
set(fuzz_entry_legacy-table LegacyTable.cpp)
set(fuzz_entry_label-format LabelFormat.cpp)
set(fuzz_entry_block BlockFile.cpp)
set(replayed archive legacy-table label-format)
if(OSTREL_BUILD_APPS)
  list(APPEND replayed block)
endif()
foreach(target ${replayed})
  add_executable(ostrel-fuzz-replay-${target} ${fuzz_dir}/${fuzz_entry_${target}})
  target_include_directories(ostrel-fuzz-replay-${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform
                                                                  ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(ostrel-fuzz-replay-${target} PRIVATE OstrelFuzzReplay Ostrel.Vision.Geometry)
  if(target STREQUAL "block")
    target_link_libraries(ostrel-fuzz-replay-${target} PRIVATE ogeo-host)
  endif()
  add_test(NAME FuzzReplay.${target}
           COMMAND ostrel-fuzz-replay-${target} ${fuzz_dir}/corpus/${target} ${fuzz_dir}/findings/${target})
endforeach()
