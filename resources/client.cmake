# The sample client that the payload carries, and the payload itself.
#
# 1. The client's programs are built for this target: Vexa.exe (a window),
#    zrie.exe and zrerr.exe (resident helpers), zroldexam.dll (the component
#    a previous installation is asked to unregister).
# 2. The client folder is assembled in the build folder: the static files of
#    client/tree, the programs, and the empty "logs" folder git cannot hold.
# 3. The native vexapack packs it under the root the developer tools use.
# 4. windres embeds the result as resource "VEXA" of type "TXTFILE" in the
#    object library vexa_payload, which the installer links.
# Any change of a client source or file rebuilds the folder and the payload.

set(VEXA_CLIENT_SRC ${CMAKE_CURRENT_SOURCE_DIR}/client/src)
set(VEXA_CLIENT_STATIC_DIR ${CMAKE_CURRENT_SOURCE_DIR}/client/tree)
set(VEXA_CLIENT_WORK ${CMAKE_CURRENT_BINARY_DIR}/client)

# 1. The programs, each under its fixed file name.
add_executable(client_vexa WIN32 ${VEXA_CLIENT_SRC}/vexa.cpp)
set_target_properties(client_vexa PROPERTIES OUTPUT_NAME Vexa)
add_executable(client_zrie WIN32 ${VEXA_CLIENT_SRC}/resident.cpp)
set_target_properties(client_zrie PROPERTIES OUTPUT_NAME zrie)
add_executable(client_zrerr WIN32 ${VEXA_CLIENT_SRC}/resident.cpp)
set_target_properties(client_zrerr PROPERTIES OUTPUT_NAME zrerr)
foreach(prog client_vexa client_zrie client_zrerr)
  target_link_options(${prog} PRIVATE -municode)
endforeach()

# The .def exports DllUnregisterServer under its plain name; on i686 the
# linker binds that name to the stdcall symbol _DllUnregisterServer@0.
add_library(client_zroldexam SHARED ${VEXA_CLIENT_SRC}/zroldexam.cpp ${VEXA_CLIENT_SRC}/zroldexam.def)
set_target_properties(client_zroldexam PROPERTIES OUTPUT_NAME zroldexam PREFIX "")
target_include_directories(client_zroldexam PRIVATE ${CMAKE_SOURCE_DIR}/common)
target_link_options(client_zroldexam PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup)

set(VEXA_CLIENT_PROGRAMS client_vexa client_zrie client_zrerr client_zroldexam)
# Stripped: they travel inside the installer, debug symbols would only add weight.
foreach(prog ${VEXA_CLIENT_PROGRAMS})
  target_link_options(${prog} PRIVATE -s)
endforeach()
set_target_properties(${VEXA_CLIENT_PROGRAMS} PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${VEXA_CLIENT_WORK}/bin
  ARCHIVE_OUTPUT_DIRECTORY ${VEXA_CLIENT_WORK}/lib)

# 2. The assembled folder, rebuilt from scratch so that a file removed from
# client/tree leaves it too. The list of static files is kept in a file that
# changes only when the list does, so adding or removing one re-assembles.
set(VEXA_CLIENT_TREE ${VEXA_CLIENT_WORK}/vevovidi CACHE INTERNAL "Assembled sample client folder")
file(GLOB_RECURSE VEXA_CLIENT_STATIC CONFIGURE_DEPENDS ${VEXA_CLIENT_STATIC_DIR}/*)
list(SORT VEXA_CLIENT_STATIC)
string(REPLACE ";" "\n" VEXA_CLIENT_STATIC_LIST "${VEXA_CLIENT_STATIC}")
file(CONFIGURE OUTPUT ${VEXA_CLIENT_WORK}/static-files.txt CONTENT "${VEXA_CLIENT_STATIC_LIST}\n")

set(VEXA_CLIENT_STAMP ${VEXA_CLIENT_WORK}/vevovidi.stamp)
set(VEXA_CLIENT_COPY_PROGRAMS)
foreach(prog ${VEXA_CLIENT_PROGRAMS})
  list(APPEND VEXA_CLIENT_COPY_PROGRAMS $<TARGET_FILE:${prog}>)
endforeach()
add_custom_command(OUTPUT ${VEXA_CLIENT_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VEXA_CLIENT_TREE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VEXA_CLIENT_STATIC_DIR} ${VEXA_CLIENT_TREE}
  COMMAND ${CMAKE_COMMAND} -E copy ${VEXA_CLIENT_COPY_PROGRAMS} ${VEXA_CLIENT_TREE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VEXA_CLIENT_TREE}/logs
  COMMAND ${CMAKE_COMMAND} -E touch ${VEXA_CLIENT_STAMP}
  DEPENDS ${VEXA_CLIENT_STATIC} ${VEXA_CLIENT_WORK}/static-files.txt ${VEXA_CLIENT_PROGRAMS}
  COMMENT "Assembling the sample client folder"
  VERBATIM)

# 3. The packer runs on the build machine: the native vexapack named by
# VEXA_HOST_VEXAPACK, or one built here from this same source tree.
if(VEXA_HOST_VEXAPACK)
  if(NOT EXISTS ${VEXA_HOST_VEXAPACK})
    message(FATAL_ERROR "VEXA_HOST_VEXAPACK names ${VEXA_HOST_VEXAPACK}, which does not exist. "
                        "Build the native tree's vexapack first, or leave VEXA_HOST_VEXAPACK empty "
                        "to have this build make its own.")
  endif()
  set(VEXA_CLIENT_PACKER ${VEXA_HOST_VEXAPACK})
  set(VEXA_CLIENT_PACKER_DEPENDS ${VEXA_HOST_VEXAPACK})
else()
  include(ExternalProject)
  set(VEXA_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)
  ExternalProject_Add(vexa_host_vexapack
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${VEXA_HOST_TOOLS}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DVEXA_TESTS=OFF
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${VEXA_HOST_TOOLS}/tools/vexapack)
  set(VEXA_CLIENT_PACKER ${VEXA_HOST_TOOLS}/tools/vexapack)
  set(VEXA_CLIENT_PACKER_DEPENDS vexa_host_vexapack ${VEXA_CLIENT_PACKER})
endif()
set(VEXA_CLIENT_PACKER ${VEXA_CLIENT_PACKER} CACHE INTERNAL "Native vexapack that packs the payload")

set(VEXA_CLIENT_PAYLOAD ${VEXA_CLIENT_WORK}/vexa.payload CACHE INTERNAL "The packed sample client")
add_custom_command(OUTPUT ${VEXA_CLIENT_PAYLOAD}
  COMMAND ${VEXA_CLIENT_PACKER} pack ${VEXA_CLIENT_TREE} ${VEXA_CLIENT_PAYLOAD} --root "D:\\vexa\\vevovidi\\"
  DEPENDS ${VEXA_CLIENT_STAMP} ${VEXA_CLIENT_PACKER_DEPENDS}
  COMMENT "Packing the sample client into the payload"
  VERBATIM)

# 4. The payload resource. windres does not track the file a resource names,
# so the object's dependency on the payload is stated here.
set(VEXA_CLIENT_RC ${VEXA_CLIENT_WORK}/payload.rc)
file(CONFIGURE OUTPUT ${VEXA_CLIENT_RC} CONTENT
  "// The installer's payload: the sample client folder as one zlib stream,\n// in the language of the installer's other resources (Chinese, PRC).\nLANGUAGE 0x04, 0x02\nVEXA TXTFILE \"${VEXA_CLIENT_PAYLOAD}\"\n")
add_library(vexa_payload OBJECT ${VEXA_CLIENT_RC} ${VEXA_CLIENT_PAYLOAD})
set_source_files_properties(${VEXA_CLIENT_RC} PROPERTIES OBJECT_DEPENDS ${VEXA_CLIENT_PAYLOAD})
