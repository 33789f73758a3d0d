# Installs the build tree into a fresh prefix, builds the consumer applications against the
# installed package with find_package(OstrelVision) and runs them: the README's example
# (whose text the README must show unchanged), and a host that reads the archive the example
# wrote without calling the geometry library, linked with --as-needed.
# Arguments: -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DREADME=...
function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(READ ${SOURCE_DIR}/Example.cpp example)
file(READ ${README} readme)
string(FIND "${readme}" "${example}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "README.md does not show ${SOURCE_DIR}/Example.cpp as it is")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_BUILD_TYPE=Release)
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

run("the example" ${WORK_DIR}/build/example)
message(STATUS "${out}")
if(NOT out MATCHES "distance 67\\.082, record \"InputImage\"\ngap 30 ")
  message(FATAL_ERROR "the example printed something else")
endif()

run("reading the example's archive in a host that calls no geometry function"
  ${WORK_DIR}/build/archive-host ${WORK_DIR}/distance-tool.archive)
message(STATUS "${out}")
if(NOT out MATCHES "^loaded .*DistancePointPointTool")
  message(FATAL_ERROR "the host read something else")
endif()
