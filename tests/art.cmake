# The installer's resources, linked into a small test program that looks each
# one up as the installer does (Windows builds only).
if(WIN32 AND TARGET vexa_resources)
  add_executable(vexa_art_tests ${CMAKE_CURRENT_SOURCE_DIR}/art/resources_test.cpp)
  target_link_libraries(vexa_art_tests PRIVATE vexa_resources GTest::gtest_main version)
  vexa_add_wine_runs(vexa_art_tests TIMEOUT 300)
endif()
