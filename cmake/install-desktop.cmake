# Included by cmake --install before anything is copied (BRELLAM_BINDIR,
# BRELLAM_LIBEXECDIR, BRELLAM_DATADIR, BRELLAM_RES and BRELLAM_STAGING are set
# before it): refuses a prefix the desktop files cannot name the program in.
# After the program, brellam_install_desktop_files() writes those files,
# naming the program by the path it was installed at, so that a desktop whose
# PATH lacks that folder (~/.local/bin) still starts it.
function(brellam_install_path out path)
  if(NOT IS_ABSOLUTE "${path}")
    set(path "${CMAKE_INSTALL_PREFIX}/${path}")
  endif()
  cmake_path(ABSOLUTE_PATH path NORMALIZE)
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

brellam_install_path(brellam_program "${BRELLAM_BINDIR}/brellam")
brellam_install_path(brellam_open_selection "${BRELLAM_LIBEXECDIR}/brellam/open-selection")
brellam_install_path(brellam_datadir "${BRELLAM_DATADIR}")

# GLib takes a % in an Exec line for a field code and then looks for a program
# named with %% left in; Nemo stops expanding its command line at the first %
# that is not one of its own; a line break ends a value. No quoting helps.
string(ASCII 127 control)
foreach(code RANGE 1 31)
  string(ASCII ${code} character)
  string(APPEND control "${character}")
endforeach()
foreach(path "${brellam_program}" "${brellam_open_selection}")
  if(path MATCHES "[%${control}]")
    message(FATAL_ERROR "brellam is not installed under ${CMAKE_INSTALL_PREFIX}: a desktop "
                        "entry or a file manager's action cannot name ${path}, whose path "
                        "holds a % or a control character. Choose another prefix.")
  endif()
endforeach()

function(brellam_install_configured template destination name)
  cmake_parse_arguments(PARSE_ARGV 3 arg "EXECUTABLE" "" "")
  set(permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  if(arg_EXECUTABLE)
    list(APPEND permissions OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  endif()
  # Staged apart for each program path: two installs from one build at once
  # must not hand each other their files.
  string(SHA1 staging "${brellam_program}")
  set(staged "${BRELLAM_STAGING}/${staging}/${template}/${name}")
  configure_file("${BRELLAM_RES}/${template}" "${staged}" @ONLY)
  file(INSTALL "${staged}" DESTINATION "${destination}" FILE_PERMISSIONS ${permissions})
endfunction()

function(brellam_install_desktop_files)
  # A desktop entry's Exec argument in double quotes: ", `, $ and \ take a
  # backslash. Single quotes for a shell and for GLib's command-line parser.
  # A key file's value then escapes each backslash.
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${brellam_program}")
  string(REPLACE "\\" "\\\\" BRELLAM_EXEC "\"${quoted}\"")
  string(REPLACE "'" "'\\''" quoted "${brellam_program}")
  set(BRELLAM_SH_PROGRAM "'${quoted}'")
  string(REPLACE "'" "'\\''" quoted "${brellam_open_selection}")
  string(REPLACE "\\" "\\\\" BRELLAM_NEMO_EXEC "'${quoted}'")

  # Offered in the application list, for no file type: opening a text file or
  # a folder stays with the program the user chose for it.
  set(applications "${brellam_datadir}/applications")
  brellam_install_configured(brellam.desktop.in "${applications}" brellam.desktop)
  cmake_path(GET brellam_open_selection PARENT_PATH libexec)
  brellam_install_configured(open-selection.sh "${libexec}" open-selection EXECUTABLE)
  brellam_install_configured(brellam.nemo_action.in "${brellam_datadir}/nemo/actions"
                             brellam.nemo_action)
  # KIO runs a service menu kept outside the system's folders only when it is
  # executable.
  brellam_install_configured(brellam-servicemenu.desktop.in "${brellam_datadir}/kio/servicemenus"
                             brellam.desktop EXECUTABLE)

  # GNOME Files and Caja read scripts from the user's own folders only.
  set(data_home "$ENV{XDG_DATA_HOME}")
  if(NOT IS_ABSOLUTE "${data_home}")
    set(data_home "$ENV{HOME}/.local/share")
  endif()
  set(config_home "$ENV{XDG_CONFIG_HOME}")
  if(NOT IS_ABSOLUTE "${config_home}")
    set(config_home "$ENV{HOME}/.config")
  endif()
  cmake_path(ABSOLUTE_PATH data_home NORMALIZE)
  cmake_path(ABSOLUTE_PATH config_home NORMALIZE)
  if(brellam_datadir STREQUAL data_home)
    foreach(scripts "${data_home}/nautilus/scripts" "${config_home}/caja/scripts")
      brellam_install_configured(open-selection.sh "${scripts}" brellam EXECUTABLE)
    endforeach()
  else()
    message(STATUS "Scripts for GNOME Files and Caja are per user: not installed for "
                   "${CMAKE_INSTALL_PREFIX} (README.md, On Linux, says how to add them)")
  endif()

  # An earlier brellam's entry claimed text files and folders, and the cache
  # update-desktop-database made of it still does until it is made again.
  if(EXISTS "${applications}/mimeinfo.cache" AND "$ENV{DESTDIR}" STREQUAL "")
    find_program(update_desktop_database update-desktop-database)
    if(update_desktop_database)
      execute_process(COMMAND "${update_desktop_database}" "${applications}")
    else()
      message(WARNING "Run update-desktop-database ${applications}: its cache may still "
                      "offer an earlier brellam for text files and folders.")
    endif()
  endif()
endfunction()
