# The Python module (python/): evstat._core over the core, and the package around it in
# build/python/evstat. On by default when pybind11 and a Python with numpy are found
# (Debian's /usr/bin/python3 unless Python_EXECUTABLE names another); off in the
# sanitized, fuzzing and cross builds, whose core a plain interpreter cannot load.
set(EVSTAT_PYTHON_FOUND OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT EVSTAT_SANITIZE AND NOT EVSTAT_FUZZ)
  if(NOT DEFINED Python_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python_EXECUTABLE /usr/bin/python3)
  endif()
  find_package(Python 3 QUIET COMPONENTS Interpreter Development.Module)
  find_package(pybind11 CONFIG QUIET)
  if(Python_FOUND AND pybind11_FOUND)
    execute_process(COMMAND ${Python_EXECUTABLE} -c "import numpy"
                    RESULT_VARIABLE EVSTAT_NUMPY_MISSING OUTPUT_QUIET ERROR_QUIET)
    if(EVSTAT_NUMPY_MISSING EQUAL 0)
      set(EVSTAT_PYTHON_FOUND ON)
    endif()
  endif()
endif()
option(EVSTAT_PYTHON "Build the Python module evstat (needs pybind11 and numpy)" ${EVSTAT_PYTHON_FOUND})

if(EVSTAT_PYTHON)
  # The module is a shared object: the core it links must be position-independent.
  set_target_properties(evstat_core PROPERTIES POSITION_INDEPENDENT_CODE ON)
  add_subdirectory(python)
elseif(EVSTAT_TESTS)
  add_test(NAME Python.Tests
           COMMAND ${CMAKE_COMMAND} -E echo
                   "skipped: the Python module is not built (it needs pybind11-dev, python3-dev and python3-numpy)")
  set_tests_properties(Python.Tests PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
endif()
