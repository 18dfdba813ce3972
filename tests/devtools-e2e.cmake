# The window's hidden developer tools under Wine: a driver clicks each tool
# button by message, with the tools' fixed folders prepared on C: and on D:
# and E: (mapped to fresh folders by the scenario script), answers their
# boxes and file dialogs, and checks what they write.
if(WIN32 AND TARGET VexaS)
  add_executable(vexa_devtoolsdriver ${CMAKE_CURRENT_LIST_DIR}/ui/devtoolsdriver.cpp ${CMAKE_CURRENT_LIST_DIR}/ui/driverkit.cpp)
  target_link_options(vexa_devtoolsdriver PRIVATE -municode)
  target_include_directories(vexa_devtoolsdriver PRIVATE ${CMAKE_SOURCE_DIR}/app ${CMAKE_SOURCE_DIR}/common)
  target_link_libraries(vexa_devtoolsdriver PRIVATE vexa_test_support vexa_common)
  foreach(lc zh_CN en_US)
    add_test(NAME vexa_devtools_scenario_${lc}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/ui/run-ui-scenario.sh ${CMAKE_BINARY_DIR}
                     $<TARGET_FILE:VexaS> $<TARGET_FILE:vexa_devtoolsdriver> ${lc}.UTF-8)
    set_tests_properties(vexa_devtools_scenario_${lc} PROPERTIES
      ENVIRONMENT "VEXA_WINE_LOADER=${VEXA_WINE_LOADER};VEXA_UI_NAME=devtools-scenario;VEXA_UI_DRIVES=d e"
      TIMEOUT 600)
  endforeach()
endif()
