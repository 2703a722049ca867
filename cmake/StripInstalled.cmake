# Run at install time (after the programs are installed): each installed program in
# PEMBROX_STRIP_FOLDER (bin/, or bin/x64/ for the 64-bit files) named by
# PEMBROX_STRIP_FILES loses its debug information, which goes beside it as FILE.debug, linked from
# the program (.gnu_debuglink) for debuggers. PEMBROX_OBJCOPY and PEMBROX_STRIP are the target's tools.
set(_bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${PEMBROX_STRIP_FOLDER}")
foreach(_file IN LISTS PEMBROX_STRIP_FILES)
  if(NOT EXISTS "${_bin}/${_file}")
    continue()
  endif()
  execute_process(COMMAND "${PEMBROX_OBJCOPY}" --only-keep-debug ${_file} ${_file}.debug
                  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY "${_bin}")
  execute_process(COMMAND "${PEMBROX_STRIP}" --strip-debug ${_file}
                  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY "${_bin}")
  execute_process(COMMAND "${PEMBROX_OBJCOPY}" --add-gnu-debuglink=${_file}.debug ${_file}
                  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY "${_bin}")
  message(STATUS "Stripped: ${_bin}/${_file} (its debug information: ${_file}.debug)")
endforeach()
