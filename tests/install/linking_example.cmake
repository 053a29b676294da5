# Installs the build tree BUILD_DIR into the scratch prefix SCRATCH, then configures, builds
# and runs examples/linking against that prefix alone, as a program linking the core would.
file(REMOVE_RECURSE ${SCRATCH})
set(prefix ${SCRATCH}/prefix)

function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(failed)
    message(FATAL_ERROR "${ARGN} failed:\n${out}\n${err}")
  endif()
  set(step_output "${out}" PARENT_SCOPE)
endfunction()

step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed bin/evstat include/evstat/laws/distributions.h)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "${installed} is not installed")
  endif()
endforeach()
step(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/linking -B ${SCRATCH}/example
     -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release)
step(${CMAKE_COMMAND} --build ${SCRATCH}/example)
step(${SCRATCH}/example/linking_example)
message(STATUS "${step_output}")
# The example checks its own figures and says so on its last line.
if(NOT step_output MATCHES "all three agree\n$")
  message(FATAL_ERROR "unexpected output:\n${step_output}")
endif()
