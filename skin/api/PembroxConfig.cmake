# find_package(Pembrox): the target Pembrox::skin, pembrox.dll with its import library and the
# header <pembrox/skin.h>. A host links it and calls PembroxSkinStart:
#   find_package(Pembrox REQUIRED)
#   target_link_libraries(MyProgram PRIVATE Pembrox::skin)
# and copies $<TARGET_FILE:Pembrox::skin> (pembrox.dll) next to its program.
get_filename_component(_pembrox_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET Pembrox::skin)
  add_library(Pembrox::skin SHARED IMPORTED)
  set_target_properties(Pembrox::skin PROPERTIES
    IMPORTED_LOCATION "${_pembrox_prefix}/bin/pembrox.dll"
    IMPORTED_IMPLIB "${_pembrox_prefix}/lib/libpembrox.dll.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_pembrox_prefix}/include"
    INTERFACE_COMPILE_DEFINITIONS PEMBROX_SKIN_DLL)
endif()
unset(_pembrox_prefix)
set(Pembrox_FOUND TRUE)
