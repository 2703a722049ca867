# Installs the build's Pembrox package into a scratch prefix and builds examples/package against
# it, as a host would, with the build's toolchain; with TWIN_BUILD (the other architecture's build)
# both go into the one prefix and the host is built for each architecture:
#   cmake -DBUILD=<build dir> -DSOURCE=<repo> -DTOOLCHAIN=<file> -DWORK=<scratch dir> -DARCH=<""|/x64>
#         [-DTWIN_BUILD=<build dir>] -P ConsumePackage.cmake
file(REMOVE_RECURSE "${WORK}")
set(prefix "${WORK}/prefix")

# install_build(BUILD ARCH): installs BUILD and checks what its architecture put in the package.
function(install_build build arch)
  execute_process(COMMAND ${CMAKE_COMMAND} --install "${build}" --prefix "${prefix}" RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installing ${build} failed (${rc})")
  endif()
  foreach(f bin${arch}/pembrox.dll bin${arch}/pembrox.dll.debug bin${arch}/pembrox-run.exe lib${arch}/libpembrox.dll.a
            lib${arch}/libpembrox_skin_static.a include/pembrox/skin.h share/pembrox/skins/default.skn
            share/pembrox/skins/night.skn lib/cmake/Pembrox/PembroxConfig.cmake)
    if(NOT EXISTS "${prefix}/${f}")
      message(FATAL_ERROR "the package has no ${f}")
    endif()
  endforeach()
  # The DLL is installed without its debug information.
  file(SIZE "${prefix}/bin${arch}/pembrox.dll" size)
  if(size GREATER 8000000)
    message(FATAL_ERROR "the installed bin${arch}/pembrox.dll is ${size} bytes: it carries its debug information")
  endif()
endfunction()

# machine(FILE VAR): the machine field of a Windows program's PE header (14c: x86, 8664: x86-64).
function(machine file var)
  file(READ "${file}" at OFFSET 60 LIMIT 4 HEX)
  string(REGEX REPLACE "(..)(..)(..)(..)" "0x\\4\\3\\2\\1" at "${at}")
  math(EXPR at "${at} + 4")
  file(READ "${file}" m OFFSET ${at} LIMIT 2 HEX)
  string(REGEX REPLACE "(..)(..)" "\\2\\1" m "${m}")
  string(REGEX REPLACE "^0+" "" m "${m}")
  set(${var} "${m}" PARENT_SCOPE)
endfunction()

# consume(TOOLCHAIN NAME EXPECTED_MACHINE): configures and builds the host against the prefix.
function(consume toolchain name expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}/examples/package" -B "${WORK}/${name}"
                          -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_PREFIX_PATH=${prefix}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring the host (${name}) failed:\n${out}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK}/${name}" RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "building the host (${name}) failed:\n${out}")
  endif()
  foreach(f PlainSkinnedDll.exe pembrox.dll PlainSkinnedStatic.exe)
    if(NOT EXISTS "${WORK}/${name}/${f}")
      message(FATAL_ERROR "the host build (${name}) made no ${f}")
    endif()
    machine("${WORK}/${name}/${f}" m)
    if(NOT m STREQUAL expected)
      message(FATAL_ERROR "the host build (${name}) made ${f} for machine ${m}, not ${expected}")
    endif()
  endforeach()
endfunction()

get_filename_component(tools "${TOOLCHAIN}" DIRECTORY)
if(ARCH STREQUAL "/x64")
  set(own 8664)
  set(twin 14c)
  set(twin_arch "")
  set(twin_toolchain "${tools}/mingw-i686.cmake")
else()
  set(own 14c)
  set(twin 8664)
  set(twin_arch /x64)
  set(twin_toolchain "${tools}/mingw-x86_64.cmake")
endif()

install_build("${BUILD}" "${ARCH}")
# Found the documented way, through CMAKE_PREFIX_PATH, with the project's own toolchain file.
consume("${TOOLCHAIN}" host "${own}")
if(TWIN_BUILD AND EXISTS "${TWIN_BUILD}/skin/api/pembrox.dll")
  # A package without the consumer's architecture says so.
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}/examples/package" -B "${WORK}/lacking"
                          -DCMAKE_TOOLCHAIN_FILE=${twin_toolchain} -DCMAKE_PREFIX_PATH=${prefix}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc EQUAL 0 OR NOT out MATCHES "has no (32|64)-bit files")
    message(FATAL_ERROR "a package without the consumer's architecture was taken (${rc}):\n${out}")
  endif()
  install_build("${TWIN_BUILD}" "${twin_arch}")
  consume("${twin_toolchain}" host-twin "${twin}")
  consume("${TOOLCHAIN}" host-again "${own}")
  message("ok: the host built against the installed package, for both architectures")
else()
  message("ok: the host built against the installed package")
endif()
