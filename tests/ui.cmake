# The installer window under Wine on a virtual display: a driver program
# starts VexaS.exe, finds its controls by ID, types, clicks (the real mouse
# through xdotool, by the wrapping script) and reads what the window shows.
# Once per ANSI code page: the Chinese texts must read the same under both.
if(WIN32 AND TARGET VexaS)
  add_executable(vexa_uidriver ${CMAKE_CURRENT_LIST_DIR}/ui/uidriver.cpp ${CMAKE_CURRENT_LIST_DIR}/ui/driverkit.cpp)
  target_link_options(vexa_uidriver PRIVATE -municode)
  target_include_directories(vexa_uidriver PRIVATE
    ${CMAKE_SOURCE_DIR}/app ${CMAKE_SOURCE_DIR}/app/rules ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/common)
  target_link_libraries(vexa_uidriver PRIVATE vexa_base)
  foreach(lc zh_CN en_US)
    add_test(NAME vexa_ui_scenario_${lc}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/ui/run-ui-scenario.sh ${CMAKE_BINARY_DIR}
                     $<TARGET_FILE:VexaS> $<TARGET_FILE:vexa_uidriver> ${lc}.UTF-8)
    set_tests_properties(vexa_ui_scenario_${lc} PROPERTIES
      ENVIRONMENT "VEXA_WINE_LOADER=${VEXA_WINE_LOADER}" TIMEOUT 600)
  endforeach()
endif()
