# find_package(Pembrox): the target Pembrox::skin, pembrox.dll with its import library and the
# header <pembrox/skin.h>, and Pembrox::skin_static, the static library. A host links it and calls PembroxSkinStart:
#   find_package(Pembrox REQUIRED)
#   target_link_libraries(MyProgram PRIVATE Pembrox::skin)
#   pembrox_copy_dll(MyProgram)   # pembrox.dll next to MyProgram.exe after each build
# Pembrox_SKINS_DIR is the folder of the built-in skins (default.skn, night.skn).
# The package holds the 32-bit files (bin/, lib/) and the 64-bit ones (bin/x64/, lib/x64/), or one of
# the two: a consumer gets those of its own architecture, or Pembrox_FOUND false when they are not there.
get_filename_component(_pembrox_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_pembrox_arch /x64)
else()
  set(_pembrox_arch "")
endif()
if(NOT EXISTS "${_pembrox_prefix}/bin${_pembrox_arch}/pembrox.dll")
  set(Pembrox_FOUND FALSE)
  if(_pembrox_arch)
    set(Pembrox_NOT_FOUND_MESSAGE "this Pembrox package has no 64-bit files: bin/x64/pembrox.dll is missing")
  else()
    set(Pembrox_NOT_FOUND_MESSAGE "this Pembrox package has no 32-bit files: bin/pembrox.dll is missing")
  endif()
  unset(_pembrox_arch)
  unset(_pembrox_prefix)
  return()
endif()
if(NOT TARGET Pembrox::skin)
  add_library(Pembrox::skin SHARED IMPORTED)
  set_target_properties(Pembrox::skin PROPERTIES
    IMPORTED_LOCATION "${_pembrox_prefix}/bin${_pembrox_arch}/pembrox.dll"
    IMPORTED_IMPLIB "${_pembrox_prefix}/lib${_pembrox_arch}/libpembrox.dll.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_pembrox_prefix}/include"
    INTERFACE_COMPILE_DEFINITIONS PEMBROX_SKIN_DLL)
endif()
# Pembrox::skin_static: the same functions linked into the host (one archive with the engine, its
# framework and libjpeg inside); the host is linked statically, C++ runtime included.
if(NOT TARGET Pembrox::skin_static)
  add_library(Pembrox::skin_static STATIC IMPORTED)
  set_target_properties(Pembrox::skin_static PROPERTIES
    IMPORTED_LOCATION "${_pembrox_prefix}/lib${_pembrox_arch}/libpembrox_skin_static.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_pembrox_prefix}/include"
    INTERFACE_LINK_OPTIONS "-static"
    INTERFACE_LINK_LIBRARIES
      "stdc++;user32;gdi32;kernel32;comctl32;comdlg32;winspool;shell32;ole32;oleaut32;uuid;advapi32")
endif()
set(Pembrox_SKINS_DIR "${_pembrox_prefix}/share/pembrox/skins")
unset(_pembrox_prefix)
unset(_pembrox_arch)

# pembrox_copy_dll(TARGET): pembrox.dll goes next to TARGET's program whenever it is built, where
# the program finds it when it starts.
function(pembrox_copy_dll target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Pembrox::skin> $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
set(Pembrox_FOUND TRUE)
