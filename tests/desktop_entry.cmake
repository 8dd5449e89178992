# cmake --install into a throwaway prefix whose name needs quoting gives the
# program and a desktop entry that desktop-file-validate accepts and that
# names the program there, for every selected file. A prefix no entry can
# name the program in is refused before anything is installed.
#
#   cmake -DBUILD_DIR=... -DWORK=... -DVALIDATE=desktop-file-validate -P desktop_entry.cmake
file(REMOVE_RECURSE "${WORK}")
set(prefix "${WORK}/a b$c\"d`e'f")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        "${prefix}/bin/brellam" ERROR_VARIABLE said)
if(NOT said MATCHES "^brellam: ")
  message(FATAL_ERROR "the installed program says: ${said}")
endif()
set(entry "${prefix}/share/applications/brellam.desktop")
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE status
                OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT status EQUAL 0 OR NOT said STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate (status ${status}):\n${said}")
endif()
file(STRINGS "${entry}" exec REGEX "^Exec=")
set(expected "Exec=\"${WORK}/a b\\\\$c\\\\\"d\\\\`e'f/bin/brellam\" %F")
if(NOT exec STREQUAL expected)
  message(FATAL_ERROR "${exec}\ninstead of\n${expected}")
endif()
foreach(refused "100%" "line\nbreak")
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK}/${refused}"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
  if(status EQUAL 0 OR NOT said MATCHES "holds[ \n]+a[ \n]+%" OR EXISTS "${WORK}/${refused}")
    message(FATAL_ERROR "the prefix ${refused} was not refused before installing:\n${said}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
