# Packs brellam.exe, README.md and LICENSE into OUT_DIR/NAME.zip and writes
# SHA256SUMS beside it, so that the same sources give the same bytes: the
# entries go in a fixed order, with fixed permissions and the time of the
# sources (SOURCE_DATE_EPOCH, else the last commit's time), and zip -X leaves
# out the owner and the access and change times it would otherwise record.
#
#   cmake -DEXE=... -DSOURCE_DIR=... -DOUT_DIR=... -DNAME=... -P release-zip.cmake
foreach(variable EXE SOURCE_DIR OUT_DIR NAME)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "release-zip.cmake: ${variable} is not set")
  endif()
endforeach()
find_program(ZIP zip REQUIRED)
find_program(TOUCH touch REQUIRED)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0)
    # Not a checkout: the earliest time a zip entry can hold.
    set(epoch 315532800)
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "release-zip.cmake: SOURCE_DATE_EPOCH is not a number of seconds: ${epoch}")
endif()

get_filename_component(exe_name "${EXE}" NAME)
set(staging "${OUT_DIR}/release-staging")
file(REMOVE_RECURSE "${staging}")
file(MAKE_DIRECTORY "${staging}")
file(COPY_FILE "${EXE}" "${staging}/${exe_name}")
file(COPY_FILE "${SOURCE_DIR}/README.md" "${staging}/README.md")
file(COPY_FILE "${SOURCE_DIR}/LICENSE" "${staging}/LICENSE")
file(CHMOD "${staging}/${exe_name}" FILE_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD "${staging}/README.md" "${staging}/LICENSE" FILE_PERMISSIONS
     OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND "${TOUCH}" -d "@${epoch}" ${exe_name} README.md LICENSE
                WORKING_DIRECTORY "${staging}" COMMAND_ERROR_IS_FATAL ANY)

# zip keeps the time as local time: UTC, so that it is the same everywhere.
set(zip_file "${OUT_DIR}/${NAME}.zip")
file(REMOVE "${zip_file}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                        "${ZIP}" -X -D -q -9 "${zip_file}" ${exe_name} README.md LICENSE
                WORKING_DIRECTORY "${staging}" COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${staging}")

# In the form sha256sum -c reads, run where the zip is.
set(sums "")
foreach(file "${zip_file}" "${EXE}")
  file(SHA256 "${file}" hash)
  get_filename_component(file_name "${file}" NAME)
  string(APPEND sums "${hash}  ${file_name}\n")
endforeach()
file(WRITE "${OUT_DIR}/SHA256SUMS" "${sums}")
message(STATUS "Packed ${zip_file}")
