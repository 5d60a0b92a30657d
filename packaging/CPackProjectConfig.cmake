# Read by cpack for every generator. A Debian package installs below /usr: the paths in the manual
# page and the systemd unit are those of the configured prefix, so it must be /usr already.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian package installs below /usr, but this build folder was configured with the "
                      "prefix \"${CPACK_PACKAGING_INSTALL_PREFIX}\". Configure it with -DCMAKE_INSTALL_PREFIX=/usr "
                      "(tools/package.sh does).")
endif()
