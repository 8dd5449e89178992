# Run by cmake --install (BRELLAM_BINDIR, BRELLAM_DATADIR and
# BRELLAM_TEMPLATE are set before it): installs the desktop entry, naming
# the program by the path it was just installed at, so that a desktop
# whose PATH lacks that folder (~/.local/bin) still starts it.
set(bindir "${BRELLAM_BINDIR}")
if(NOT IS_ABSOLUTE "${bindir}")
  set(bindir "${CMAKE_INSTALL_PREFIX}/${bindir}")
endif()
cmake_path(ABSOLUTE_PATH bindir NORMALIZE)
set(program "${bindir}/brellam")
if(program MATCHES "[\r\n]")
  message(FATAL_ERROR "A desktop entry cannot name a program whose path holds a line break: ${program}")
endif()
# Quoted as an Exec argument: ", `, $ and \ take a backslash; then the value
# itself escapes each backslash, and % is doubled.
string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${program}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(BRELLAM_EXEC "\"${quoted}\"")

set(datadir "${BRELLAM_DATADIR}")
if(NOT IS_ABSOLUTE "${datadir}")
  set(datadir "${CMAKE_INSTALL_PREFIX}/${datadir}")
endif()
configure_file("${BRELLAM_TEMPLATE}" "${BRELLAM_STAGING}/brellam.desktop" @ONLY)
file(INSTALL "${BRELLAM_STAGING}/brellam.desktop" DESTINATION "${datadir}/applications")
