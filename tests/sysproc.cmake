# Probe programs for the process and launch tests of vexa_win_tests. They
# land beside the test program, which copies them into its fixtures under
# the names a test needs.
if(WIN32 AND TARGET vexa_win_tests)
  add_executable(vexa_probe_window WIN32 ${CMAKE_CURRENT_LIST_DIR}/winprogs/probe_window.cpp)
  add_executable(vexa_probe_console ${CMAKE_CURRENT_LIST_DIR}/winprogs/probe_console.cpp)
  foreach(probe vexa_probe_window vexa_probe_console)
    target_link_libraries(${probe} PRIVATE vexa_common)
    set_target_properties(${probe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:vexa_win_tests>)
    add_dependencies(vexa_win_tests ${probe})
  endforeach()
endif()
