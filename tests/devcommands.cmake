# vexapack's material, text and update sub-commands, driven end to end.
if(NOT WIN32)
  add_test(NAME devcommands_cli
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cli/devcommands_cli.sh $<TARGET_FILE:vexapack>)
endif()
