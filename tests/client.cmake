# The sample client and the payload, on the Windows build.
if(WIN32 AND TARGET vexa_payload)
  # On the build machine: the native vexapack reads the payload back.
  add_test(NAME client_payload_round_trip
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/client/payload_round_trip.sh
                   ${VEXA_CLIENT_PACKER} ${VEXA_CLIENT_PAYLOAD} ${VEXA_CLIENT_TREE})

  # Under Wine: the payload as a linked resource, and the old component.
  file(GLOB VEXA_CLIENT_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/client/*.cpp)
  add_executable(vexa_client_tests ${VEXA_CLIENT_TESTS})
  target_link_libraries(vexa_client_tests PRIVATE vexa_payload vexa_test_support GTest::gtest_main)
  vexa_add_wine_runs(vexa_client_tests TIMEOUT 300)
endif()
