# The installed form: one folder (the prefix, named Purrlox by `make install`) holding
# bin/purrlox, VERSION, the desktop entry and the icon. Installing also registers the desktop
# entry and the purrlox:// handler for the user, unless DESTDIR or PURRLOX_NO_REGISTER is set
# (release builds and packages).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/VERSION CONTENT "${PURRLOX_RELEASE_VERSION}\n")
install(TARGETS purrlox RUNTIME DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/VERSION DESTINATION .)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/app.purrlox.Purrlox.desktop
        DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/app.purrlox.Purrlox.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(CODE "set(PURRLOX_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_SOURCE_DIR}/data/app.purrlox.Purrlox.desktop\")")
install(SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/data/register.cmake)
