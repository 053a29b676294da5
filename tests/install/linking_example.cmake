# Installs the build tree BUILD_DIR into the scratch prefix SCRATCH, checks the layout
# (bin/, include/evstat/, LIBDIR/ and LIBDIR/cmake/evstat/, the public HEADERS and nothing
# else), compiles every installed header on its own, then configures, builds and runs
# examples/linking against that prefix alone, as a program linking the core would.
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
foreach(installed bin/evstat ${LIBDIR}/libevstat_core.a ${LIBDIR}/cmake/evstat/evstatConfig.cmake
                  ${LIBDIR}/cmake/evstat/evstatConfigVersion.cmake ${LIBDIR}/cmake/evstat/evstatTargets.cmake)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "${installed} is not installed")
  endif()
endforeach()

# The headers installed are the public ones, and each compiles alone.
file(GLOB_RECURSE installed_headers RELATIVE ${prefix}/include/evstat ${prefix}/include/evstat/*)
list(SORT installed_headers)
set(expected_headers ${HEADERS})
list(SORT expected_headers)
if(NOT installed_headers STREQUAL expected_headers)
  message(FATAL_ERROR "installed headers:\n${installed_headers}\ninstead of:\n${expected_headers}")
endif()
foreach(header ${installed_headers})
  string(MAKE_C_IDENTIFIER ${header} unit)
  file(WRITE ${SCRATCH}/headers/${unit}.cpp "#include \"${header}\"\n")
  step(${CXX} -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -I${prefix}/include/evstat
       ${SCRATCH}/headers/${unit}.cpp)
endforeach()

step(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/linking -B ${SCRATCH}/example
     -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release
     "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
step(${CMAKE_COMMAND} --build ${SCRATCH}/example)
step(${SCRATCH}/example/linking_example)
message(STATUS "${step_output}")
# The example checks its own figures and says so on its last line.
if(NOT step_output MATCHES "all three agree\n$")
  message(FATAL_ERROR "unexpected output:\n${step_output}")
endif()
