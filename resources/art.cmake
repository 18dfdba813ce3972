# The installer's own resources compiled from VexaS.rc: artwork, slides,
# icons, agreement, skin, version and manifest. Programs take them in with
#   target_link_libraries(<exe> PRIVATE vexa_resources)
# (which also gives the include path of resource_names.h) or with
# $<TARGET_OBJECTS:vexa_resources> among their sources.
# The pictures are made by art/make_art.py and committed; the build does not
# run it.
set(VEXA_ART_FILES
  ${CMAKE_CURRENT_SOURCE_DIR}/art/background.png
  ${CMAKE_CURRENT_SOURCE_DIR}/art/slide.jpg
  ${CMAKE_CURRENT_SOURCE_DIR}/art/IMG01.jpg
  ${CMAKE_CURRENT_SOURCE_DIR}/art/IMG02.jpg
  ${CMAKE_CURRENT_SOURCE_DIR}/art/IMG03.jpg
  ${CMAKE_CURRENT_SOURCE_DIR}/art/vexa.ico
  ${CMAKE_CURRENT_SOURCE_DIR}/art/mcskin.png
  ${CMAKE_CURRENT_SOURCE_DIR}/art/agreement.txt
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaS.manifest)

add_library(vexa_resources OBJECT ${CMAKE_CURRENT_SOURCE_DIR}/VexaS.rc)
# windres finds the files the .rc names ("art/...") through the include path.
target_include_directories(vexa_resources PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# The .rc's dependency scan sees #include only, not the files it embeds.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/VexaS.rc PROPERTIES
  OBJECT_DEPENDS "${VEXA_ART_FILES}")
