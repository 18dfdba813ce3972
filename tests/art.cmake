# The installer's resources, linked into a small test program that looks each
# one up as the installer does (Windows builds only).
if(WIN32 AND TARGET vexa_resources)
  add_executable(vexa_art_tests ${CMAKE_CURRENT_SOURCE_DIR}/art/resources_test.cpp)
  target_link_libraries(vexa_art_tests PRIVATE vexa_resources GTest::gtest_main version)
  foreach(lc zh_CN en_US)
    add_test(NAME vexa_art_tests_wine_${lc} COMMAND vexa_art_tests)
    set_tests_properties(vexa_art_tests_wine_${lc} PROPERTIES
      ENVIRONMENT "${VEXA_WINE_ENV};VEXA_LC_ALL=${lc}.UTF-8" TIMEOUT 300)
  endforeach()
endif()
