# Whole installations driven as a user would, under Wine on a virtual
# display: fresh install with launch, reinstall over a running previous
# client, a file held open in the target, a location without a drive, launch
# unticked; the fresh install once more under an English locale.
if(WIN32 AND TARGET VexaS AND VEXA_CLIENT_TREE)
  add_executable(vexa_installdriver ${CMAKE_CURRENT_LIST_DIR}/ui/installdriver.cpp ${CMAKE_CURRENT_LIST_DIR}/ui/driverkit.cpp)
  target_link_options(vexa_installdriver PRIVATE -municode)
  target_include_directories(vexa_installdriver PRIVATE
    ${CMAKE_SOURCE_DIR}/app ${CMAKE_SOURCE_DIR}/app/rules ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/common)
  target_link_libraries(vexa_installdriver PRIVATE vexa_common vexa_base ole32 oleaut32 uuid shell32 advapi32)
  set(vexa_install_runner ${CMAKE_CURRENT_LIST_DIR}/ui/run-install-scenarios.sh)
  add_test(NAME vexa_install_scenarios_zh_CN
           COMMAND bash ${vexa_install_runner} ${CMAKE_BINARY_DIR} $<TARGET_FILE:VexaS>
                   $<TARGET_FILE:vexa_installdriver> ${VEXA_CLIENT_TREE} zh_CN.UTF-8
                   fresh reinstall inuse nodrive nolaunch)
  add_test(NAME vexa_install_scenarios_en_US
           COMMAND bash ${vexa_install_runner} ${CMAKE_BINARY_DIR} $<TARGET_FILE:VexaS>
                   $<TARGET_FILE:vexa_installdriver> ${VEXA_CLIENT_TREE} en_US.UTF-8 fresh)
  set_tests_properties(vexa_install_scenarios_zh_CN vexa_install_scenarios_en_US PROPERTIES
    ENVIRONMENT "VEXA_WINE_LOADER=${VEXA_WINE_LOADER}" TIMEOUT 900)
endif()
