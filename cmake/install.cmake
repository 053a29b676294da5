# `cmake --install`: the engine in bin/; for programs that link the core, its headers under
# include/evstat/ (included as "laws/distributions.h" and so on), its static library and a
# package config, so that find_package(evstat) gives the target evstat::core.
# `make package` makes a .deb of the same files; the Windows build makes a zip instead.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(EVSTAT_VERSION 1.0.0)
set(EVSTAT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/evstat)

set_target_properties(evstat_core PROPERTIES EXPORT_NAME core)
install(TARGETS evstat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS evstat_core EXPORT evstatTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The public headers: the numerical interface of the core, each self-contained within this
# set (the driver's and the helpers' own headers stay in the source tree).
set(EVSTAT_PUBLIC_HEADERS
    series/lists.h series/series.h parallel/worker_pool.h
    laws/catalogue.h laws/distributions.h laws/densities.h laws/quantiles.h
    laws/random_values.h laws/evaluate.h laws/generator.h laws/validity.h
    estimation/estimate.h estimation/moments.h estimation/kernel.h
    fittests/fit_test.h fittests/goodness_of_fit.h
    tail/methods/tail.h tail/quantile_tests/quantile_tests.h
    tail/bayes/priors.h tail/bayes/posteriors.h tail/bayes/predictive_sample.h
    tail/bayes_table/bayes_table.h tail/bayes_table/law11_table.h tail/work_bounds.h
    records/errors.h)
foreach(header ${EVSTAT_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/src/${header}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/evstat/${folder})
endforeach()
install(EXPORT evstatTargets NAMESPACE evstat:: DESTINATION ${EVSTAT_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/evstatConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/evstatConfig.cmake
                              INSTALL_DESTINATION ${EVSTAT_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/evstatConfigVersion.cmake
                                 VERSION ${EVSTAT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/evstatConfig.cmake ${CMAKE_BINARY_DIR}/evstatConfigVersion.cmake
        DESTINATION ${EVSTAT_CMAKE_DIR})

# Installing into a scratch prefix, then building and running the linking example against it.
if(EVSTAT_TESTS AND NOT CMAKE_CROSSCOMPILING)
  # A sanitized core needs the sanitizers' runtime in the program that links it.
  set(EVSTAT_EXAMPLE_FLAGS "")
  if(EVSTAT_SANITIZE)
    set(EVSTAT_EXAMPLE_FLAGS "-fsanitize=address,undefined")
  endif()
  add_test(NAME Install.LinkingExampleBuildsAgainstTheInstalledCore
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DSCRATCH=${CMAKE_BINARY_DIR}/install-check
                   -DCXX=${CMAKE_CXX_COMPILER} -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
                   "-DHEADERS=${EVSTAT_PUBLIC_HEADERS}" "-DFLAGS=${EVSTAT_EXAMPLE_FLAGS}" -P ${CMAKE_SOURCE_DIR}/tests/install/linking_example.cmake)
  set_tests_properties(Install.LinkingExampleBuildsAgainstTheInstalledCore PROPERTIES TIMEOUT 300)
endif()

if(NOT WIN32)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME evstat)
  set(CPACK_PACKAGE_VERSION ${EVSTAT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch statistics engine for extreme values")
  set(CPACK_PACKAGE_CONTACT "evstat developers <evstat@localhost>")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  find_program(EVSTAT_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(EVSTAT_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
  include(CPack)
endif()
