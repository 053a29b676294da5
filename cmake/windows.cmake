# The Windows build and its tests under Wine.
#
# The cross-build (make windows, with cmake/mingw-w64-x86_64.cmake) makes evstat.exe and
# evstat_seeded.exe, and `package_windows` zips evstat.exe with the README.
# A host build given EVSTAT_WINDOWS_BUILD (the folder of those two executables) builds the
# end-to-end tests once more to run them under Wine (make test-windows).
set(EVSTAT_WINDOWS_BUILD "" CACHE PATH
    "Folder of the cross-built evstat.exe and evstat_seeded.exe, to test them under Wine")

# The engine seeded from its first word, for trees that build no unit tests.
if((WIN32 OR EVSTAT_WINDOWS_BUILD) AND NOT TARGET evstat_seeded)
  add_executable(evstat_seeded ${CMAKE_SOURCE_DIR}/tests/tools/seeded_main.cpp)
  target_link_libraries(evstat_seeded PRIVATE evstat_core)
  set_target_properties(evstat_seeded PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

if(WIN32)
  set(EVSTAT_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/evstat-${EVSTAT_VERSION}-windows-x86_64.zip)
  set(EVSTAT_ZIP_DIR ${CMAKE_BINARY_DIR}/zip)
  add_custom_target(package_windows
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${EVSTAT_ZIP_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${EVSTAT_ZIP_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:evstat> ${CMAKE_SOURCE_DIR}/README.md ${EVSTAT_ZIP_DIR}
    COMMAND ${CMAKE_COMMAND} -E chdir ${EVSTAT_ZIP_DIR}
            ${CMAKE_COMMAND} -E tar cf ${EVSTAT_WINDOWS_ZIP} --format=zip evstat.exe README.md
    DEPENDS evstat
    COMMENT "Zipping evstat.exe and README.md into ${EVSTAT_WINDOWS_ZIP}")
endif()

if(EVSTAT_WINDOWS_BUILD)
  enable_testing()
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/windows ${CMAKE_BINARY_DIR}/tests-windows)
endif()
