# `cpack -G DEB` (see `make deb`): the Debian package of the system-prefix install.
set(CPACK_PACKAGE_NAME purrlox)
set(CPACK_PACKAGE_VERSION ${PURRLOX_RELEASE_VERSION})
set(CPACK_PACKAGE_VENDOR "The Purrlox developers")
set(CPACK_PACKAGE_CONTACT "The Purrlox developers <hello@purrlox.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cat that lives on your desktop, with a pomodoro timer")
set(CPACK_PACKAGE_DESCRIPTION
  "Purrlox puts an animated cat on the desktop. It walks on the floor of the\n"
  "screen and along the tops of windows, climbs, jumps, dangles from the\n"
  "pointer, sleeps in its bed, eats files dropped on it and naps during calls.\n"
  "A paw in the system tray opens a small focus toolkit: a pomodoro timer,\n"
  "focus statistics with a story card and a PDF of the week, and reminders\n"
  "that the cat brings as letters. It speaks English and Russian.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://purrlox.app/)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins, the fonts and xdg-utils are
# loaded or run, not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-comfortaa, fonts-noto-color-emoji, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders 0755 and files 0644 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
include(CPack)
