# Two installed forms, chosen by the prefix at install time:
# - a system prefix (/usr, /usr/local; what a distribution package uses): the FHS layout,
#   bin/purrlox, the desktop entry, the hicolor icons, the AppStream metainfo, the manual page
#   and the copyright under share/doc/purrlox; nothing is registered for a user;
# - any other prefix: the self-contained folder (named Purrlox by `make install`) that the
#   updater replaces, the same files plus VERSION at its top. Installing it also registers the
#   desktop entry and the purrlox:// handler for the user, unless DESTDIR or
#   PURRLOX_NO_REGISTER is set (release builds and packages).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/VERSION CONTENT "${PURRLOX_RELEASE_VERSION}\n")

# The manual page and the changelog go in compressed, as Debian wants them (man reads both).
set(PURRLOX_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/purrlox.1.gz
  COMMAND gzip -9n -c ${PURRLOX_DATA}/purrlox.1 > ${CMAKE_BINARY_DIR}/purrlox.1.gz
  DEPENDS ${PURRLOX_DATA}/purrlox.1 VERBATIM)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9n -c ${PURRLOX_DATA}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${PURRLOX_DATA}/changelog VERBATIM)
add_custom_target(purrlox_install_data ALL
  DEPENDS ${CMAKE_BINARY_DIR}/purrlox.1.gz ${CMAKE_BINARY_DIR}/changelog.gz ${icon_pngs})

install(TARGETS purrlox RUNTIME DESTINATION bin)
install(FILES ${PURRLOX_DATA}/app.purrlox.Purrlox.desktop DESTINATION share/applications)
install(FILES ${PURRLOX_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)
foreach(size ${PURRLOX_ICON_SIZES})
  install(FILES ${icons_dir}/${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME app.purrlox.Purrlox.png)
endforeach()
install(FILES ${PURRLOX_DATA}/app.purrlox.Purrlox.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/purrlox.1.gz DESTINATION share/man/man1)
install(FILES ${PURRLOX_DATA}/copyright DESTINATION share/doc/purrlox)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION share/doc/purrlox)
install(CODE "
  set(PURRLOX_VERSION_FILE \"${CMAKE_BINARY_DIR}/VERSION\")
  set(PURRLOX_DESKTOP_TEMPLATE \"${PURRLOX_DATA}/app.purrlox.Purrlox.desktop\")")
install(SCRIPT ${PURRLOX_DATA}/register.cmake)
