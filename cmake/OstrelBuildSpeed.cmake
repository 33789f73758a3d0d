# Build speed: precompiled headers, the mold linker, ccache.
#
# Nearly every source includes the framework's reflection, archive and signal headers, and
# parsing them is about half of compiling a source. Each target therefore precompiles the
# heavy third-party headers once (ostrel_precompile_headers); the tests share one
# precompiled header, the other executables another.

option(OSTREL_PCH "Precompile the heavy third-party headers" ON)

set(OSTREL_PCH_HEADERS
  <functional> <map> <memory> <optional> <string> <vector>
  <boost/signals2/signal.hpp>
  <fmt/format.h>
  <rttr/registration>
  <rttr/type>
  # cereal only through the framework's header, which adds the archive guards.
  "${PROJECT_SOURCE_DIR}/platform/include/Ostrel/Vision/Cereal.h")

# ostrel_add_shared_pch(<name> [LIBS <targets...>] [HEADERS <headers...>] [OPTIONS <flags...>])
# A precompiled header for several executables: built once, with the flags those
# executables have (position-independent executable code, the definitions that LIBS bring,
# OPTIONS), from OSTREL_PCH_HEADERS and HEADERS.
function(ostrel_add_shared_pch name)
  if(NOT OSTREL_PCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS;HEADERS;OPTIONS" ${ARGN})
  # An executable of its own, so that its code-generation flags are those of executables.
  file(WRITE ${PROJECT_BINARY_DIR}/${name}.cpp "int main() { return 0; }\n")
  add_executable(${name} ${PROJECT_BINARY_DIR}/${name}.cpp)
  target_link_libraries(${name} PRIVATE Ostrel.Vision.Core ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${OSTREL_PCH_HEADERS} ${ARG_HEADERS})
  target_compile_options(${name} PRIVATE ${ARG_OPTIONS})
endfunction()

# ostrel_precompile_headers(<target> [SHARED <name>])
# A library precompiles the heavy headers for itself; an executable reuses a shared
# precompiled header made by ostrel_add_shared_pch.
function(ostrel_precompile_headers target)
  if(NOT OSTREL_PCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "SHARED" "" ${ARGN})
  if(ARG_SHARED)
    target_precompile_headers(${target} REUSE_FROM ${ARG_SHARED})
  else()
    target_precompile_headers(${target} PRIVATE ${OSTREL_PCH_HEADERS})
  endif()
endfunction()

# ostrel_batch_library_sources(<target>)
# Called where the library's target is made, once its sources are listed.
# - Reflection registration and archive code runs when a class is registered or an archive
#   is read, never inside a tool's run, and its templates are most of what the optimiser
#   works on: -O1 compiles those sources about a quarter faster in the optimised builds
#   (the library's precompiled header, made at -O2, still applies). The fuzz build keeps
#   -O2, since it runs the archive loader millions of times.
# - The other sources are small and spend most of their time reading the same project
#   headers, so they compile in batches of eight (a unity build): a tool's source alone
#   takes 3.4 s of CPU, eight of them together 6.2 s. Touching one tool rebuilds its batch
#   (a few seconds). Names at a source's namespace scope must therefore be unique in the
#   library (a tool's row is named after its tool). The heavy sources above stay on their
#   own, so that the two cores share them.
option(OSTREL_UNITY "Compile the libraries' small sources in batches" ON)
function(ostrel_batch_library_sources target)
  get_target_property(sources ${target} SOURCES)
  set(heavy)
  foreach(source IN LISTS sources)
    if(source MATCHES "(Registration|Archive|Serialization)\\.cpp$")
      list(APPEND heavy ${source})
    endif()
  endforeach()
  if(heavy)
    set_source_files_properties(${heavy} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    if(NOT OSTREL_BUILD_FUZZ)
      set_source_files_properties(${heavy} PROPERTIES
        COMPILE_OPTIONS "$<$<CONFIG:Release,RelWithDebInfo>:-O1>")
    endif()
  endif()
  if(OSTREL_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

# mold links the test executables in a fraction of the default linker's time. Used when
# found, for this project's own targets (gcc 12.1 and later know -fuse-ld=mold).
option(OSTREL_MOLD "Link with mold when it is installed" ON)
find_program(OSTREL_MOLD_PROGRAM mold)
if(OSTREL_MOLD AND OSTREL_MOLD_PROGRAM AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
   AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12.1)
  add_link_options(-fuse-ld=mold)
endif()

# ccache, which caches sources compiled with a precompiled header only when told that the
# header's macros and time stamps may be taken as they are.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER
    ${CMAKE_COMMAND} -E env "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
    ${CCACHE_PROGRAM})
endif()

# An executable is not linked again when only a shared library it links has changed: the
# library is loaded at run time, so touching one tool's source rebuilds that source and the
# geometry library, not every test and benchmark program.
set(CMAKE_LINK_DEPENDS_NO_SHARED ON)
