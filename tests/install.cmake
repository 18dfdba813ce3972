# Tests of the install steps' Win32 layer (resource streams, shortcut,
# registry record, previous installation clean-up, payload step). A program
# of its own: it carries test resources under the installer's resource
# names, which no other test program may hold. Beside it, a probe component
# whose DllUnregisterServer notes the folder it was called in.
if(WIN32)
  set(VEXA_INSTALL_TEST_DATA ${CMAKE_CURRENT_LIST_DIR}/install/data)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/install/install_tests.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/install_tests.rc @ONLY)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/install_tests.rc PROPERTIES
    OBJECT_DEPENDS "${VEXA_INSTALL_TEST_DATA}/payload.bin;${VEXA_INSTALL_TEST_DATA}/shortcut.ico")

  file(GLOB VEXA_INSTALL_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/install/*.cpp)
  add_executable(vexa_install_tests ${VEXA_INSTALL_TESTS} ${CMAKE_CURRENT_BINARY_DIR}/install_tests.rc)
  target_link_libraries(vexa_install_tests PRIVATE vexa_test_support GTest::gtest_main)
  if(TARGET vexa_rules)
    target_link_libraries(vexa_install_tests PRIVATE vexa_rules)
  endif()
  set_target_properties(vexa_install_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

  add_library(vexa_unregister_probe SHARED ${CMAKE_CURRENT_LIST_DIR}/install/probe/unregister_probe.cpp
                                           ${CMAKE_CURRENT_LIST_DIR}/install/probe/unregister_probe.def)
  set_target_properties(vexa_unregister_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  # The .def names the export undecorated, as COM looks it up, on both builds.
  target_link_options(vexa_unregister_probe PRIVATE -static -static-libgcc -Wl,--enable-stdcall-fixup)
  add_dependencies(vexa_install_tests vexa_unregister_probe)

  # Both runs share the build's prefix, whose registry the tests change and
  # restore: one at a time. Wine's menu builder stays off: it would turn the
  # test shortcuts into entries on the host's own desktop.
  vexa_add_wine_runs(vexa_install_tests TIMEOUT 600
                     EXTRA_ENV "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe="
                     RESOURCE_LOCK vexa_install_registry)
endif()
