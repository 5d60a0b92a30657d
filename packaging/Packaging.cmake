# Installation in the layout of the Filesystem Hierarchy Standard and the freedesktop.org
# specifications, and the Debian package built from it ("cpack -G DEB" in the build folder).
#
#   bin/korvix                                   the program
#   share/korvix/                                the user guide and its pictures ("Contents")
#   share/applications/korvix.desktop            the menu entry
#   share/icons/hicolor/NxN/apps/korvix.png      its icon, 32, 64 and 256 pixels
#   share/metainfo/com.lumivale.korvix.metainfo.xml   the entry in software centres
#   share/man/man1/korvix.1.gz                   the manual page
#   lib/udev/rules.d/70-korvix.rules             the recorder opens for the logged-in user
#   lib/systemd/user/korvix-record.service       unattended logging, not enabled
include(GNUInstallDirs)

# The date of the version in project(); the manual page and the metainfo show it.
set(KORVIX_RELEASE_DATE 2026-12-09)

# udev and systemd read these folders below /usr and /usr/local alike, whatever the libdir is.
set(KORVIX_UDEVRULESDIR "lib/udev/rules.d" CACHE STRING "Folder of the udev rule, relative to the prefix")
set(KORVIX_SYSTEMDUSERUNITDIR "lib/systemd/user" CACHE STRING
    "Folder of the systemd user unit, relative to the prefix")
set(KORVIX_GUIDEDIR "${CMAKE_INSTALL_DATADIR}/korvix")
foreach(dir UDEVRULESDIR SYSTEMDUSERUNITDIR GUIDEDIR)
  set(KORVIX_FULL_${dir} "${CMAKE_INSTALL_PREFIX}/${KORVIX_${dir}}")
endforeach()
set(KORVIX_FULL_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}")

# "Contents" finds the installed guide relative to the program's own folder, so that the
# installation may be moved as a whole (cmake --install --prefix, DESTDIR).
file(RELATIVE_PATH KORVIX_GUIDE_FROM_BINDIR "${KORVIX_FULL_BINDIR}" "${KORVIX_FULL_GUIDEDIR}")
set_property(SOURCE "${PROJECT_SOURCE_DIR}/src/ui/Help.cpp" APPEND
             PROPERTY COMPILE_DEFINITIONS "KORVIX_GUIDE_FROM_BINDIR=\"${KORVIX_GUIDE_FROM_BINDIR}\"")

set(pkg "${PROJECT_SOURCE_DIR}/packaging")
set(out "${PROJECT_BINARY_DIR}/packaging")
configure_file("${pkg}/korvix.1.in" "${out}/korvix.1" @ONLY)
configure_file("${pkg}/com.lumivale.korvix.metainfo.xml.in" "${out}/com.lumivale.korvix.metainfo.xml" @ONLY)
configure_file("${pkg}/korvix-record.service.in" "${out}/korvix-record.service" @ONLY)

# Manual pages are installed compressed, as man-db and Debian expect them.
find_program(KORVIX_GZIP gzip)
set(manpage "${out}/korvix.1")
if(KORVIX_GZIP)
  add_custom_command(OUTPUT "${out}/korvix.1.gz"
                     COMMAND "${KORVIX_GZIP}" -9 -n -f -k "${out}/korvix.1"
                     DEPENDS "${out}/korvix.1"
                     COMMENT "Compressing the manual page")
  add_custom_target(korvix_manpage ALL DEPENDS "${out}/korvix.1.gz")
  set(manpage "${out}/korvix.1.gz")
endif()

install(TARGETS korvix RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/info/" DESTINATION "${KORVIX_GUIDEDIR}")
install(FILES "${pkg}/korvix.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
foreach(size 32 64 256)
  install(FILES "${PROJECT_SOURCE_DIR}/src/ui/icons/korvix-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps" RENAME korvix.png)
endforeach()
install(FILES "${out}/com.lumivale.korvix.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${manpage}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${PROJECT_SOURCE_DIR}/udev/70-korvix.rules" DESTINATION "${KORVIX_UDEVRULESDIR}")
install(FILES "${out}/korvix-record.service" DESTINATION "${KORVIX_SYSTEMDUSERUNITDIR}")

# The Debian package. Its dependencies on shared libraries come from dpkg-shlibdeps; the Qt
# platform plugins are loaded at run time, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvix)
set(CPACK_PACKAGE_VENDOR Lumivale)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Lumivale <support@lumivale.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.lumivale.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recorder and data logger for the KORVIX USB signal recorder")
# The summary heads the package's description; this is its body.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Recorder/Logger is the desktop program of the KORVIX, Lumivale's four-channel
USB signal recorder and data logger. It draws the four channels as a strip
chart, measures with markers and a voltmeter panel per channel, saves
recordings as text files and the screen as a picture, and prints it. Without
a recorder it runs in demo mode with built-in signals.
.
The package includes a udev rule that lets the logged-in user open the
recorder, and a systemd user unit for unattended logging with korvix record.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# xdg-open shows the user guide in the browser; the windows are laid out for DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
# After installing, udev reads the new rule and applies it to a recorder already plugged in. There is
# no postrm: udev notices a removed rule by itself, and a package without a postrm and without
# configuration files is gone entirely after "apt remove".
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${pkg}/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PROJECT_CONFIG_FILE "${pkg}/CPackProjectConfig.cmake")
include(CPack)
