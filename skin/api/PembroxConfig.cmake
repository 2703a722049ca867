# find_package(Pembrox): the target Pembrox::skin, pembrox.dll with its import library and the
# header <pembrox/skin.h>, and Pembrox::skin_static, the static library. A host links it and calls PembroxSkinStart:
#   find_package(Pembrox REQUIRED)
#   target_link_libraries(MyProgram PRIVATE Pembrox::skin)
#   pembrox_copy_dll(MyProgram)   # pembrox.dll next to MyProgram.exe after each build
# Pembrox_SKINS_DIR is the folder of the built-in skins (default.skn, night.skn).
get_filename_component(_pembrox_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET Pembrox::skin)
  add_library(Pembrox::skin SHARED IMPORTED)
  set_target_properties(Pembrox::skin PROPERTIES
    IMPORTED_LOCATION "${_pembrox_prefix}/bin/pembrox.dll"
    IMPORTED_IMPLIB "${_pembrox_prefix}/lib/libpembrox.dll.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_pembrox_prefix}/include"
    INTERFACE_COMPILE_DEFINITIONS PEMBROX_SKIN_DLL)
endif()
# Pembrox::skin_static: the same functions linked into the host (one archive with the engine, its
# framework and libjpeg inside); the host is linked statically, C++ runtime included.
if(NOT TARGET Pembrox::skin_static)
  add_library(Pembrox::skin_static STATIC IMPORTED)
  set_target_properties(Pembrox::skin_static PROPERTIES
    IMPORTED_LOCATION "${_pembrox_prefix}/lib/libpembrox_skin_static.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_pembrox_prefix}/include"
    INTERFACE_LINK_OPTIONS "-static"
    INTERFACE_LINK_LIBRARIES
      "stdc++;user32;gdi32;kernel32;comctl32;comdlg32;winspool;shell32;ole32;oleaut32;uuid;advapi32")
endif()
set(Pembrox_SKINS_DIR "${_pembrox_prefix}/share/pembrox/skins")
unset(_pembrox_prefix)

# pembrox_copy_dll(TARGET): pembrox.dll goes next to TARGET's program whenever it is built, where
# the program finds it when it starts.
function(pembrox_copy_dll target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Pembrox::skin> $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
set(Pembrox_FOUND TRUE)
