# Installs the build's Pembrox package into a scratch prefix and builds examples/package against
# it with the same toolchain, as a host would:
#   cmake -DBUILD=<build dir> -DSOURCE=<repo> -DTOOLCHAIN=<file> -DWORK=<scratch dir> -P ConsumePackage.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${WORK}/prefix"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installing the package failed (${rc})")
endif()
foreach(f bin/pembrox.dll bin/pembrox.dll.debug bin/pembrox-run.exe lib/libpembrox.dll.a lib/libpembrox_skin_static.a
          include/pembrox/skin.h share/pembrox/skins/default.skn share/pembrox/skins/night.skn
          lib/cmake/Pembrox/PembroxConfig.cmake)
  if(NOT EXISTS "${WORK}/prefix/${f}")
    message(FATAL_ERROR "the package has no ${f}")
  endif()
endforeach()
# The DLL is installed without its debug information.
file(SIZE "${WORK}/prefix/bin/pembrox.dll" size)
if(size GREATER 8000000)
  message(FATAL_ERROR "the installed pembrox.dll is ${size} bytes: it carries its debug information")
endif()
# Found the documented way, through CMAKE_PREFIX_PATH, with the project's own toolchain file.
execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}/examples/package" -B "${WORK}/host"
                        -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_PREFIX_PATH=${WORK}/prefix
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring the host failed:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK}/host" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building the host failed:\n${out}")
endif()
foreach(f PlainSkinnedDll.exe pembrox.dll PlainSkinnedStatic.exe)
  if(NOT EXISTS "${WORK}/host/${f}")
    message(FATAL_ERROR "the host build made no ${f}")
  endif()
endforeach()
message("ok: the host built against the installed package")
