# The GNOME Shell extension that tells the app where the windows are and shows the paw in the
# top bar. Each source of its logic (windows.js, panel.js) goes into two forms: the legacy one
# GNOME Shell 43 and 44 load, and the ES module 45 and later load. Both are made at configure time into the build folder.
set(PURRLOX_SHELL_UUID "purrlox@purrlox.app")
set(shell_src ${CMAKE_CURRENT_LIST_DIR})
set(PURRLOX_SHELL_EXTENSIONS ${CMAKE_BINARY_DIR}/gnome-shell)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${shell_src}/windows.js ${shell_src}/panel.js ${shell_src}/legacy.js
             ${shell_src}/esm.js ${shell_src}/metadata.json.in)
file(READ ${shell_src}/windows.js shell_windows)
file(READ ${shell_src}/panel.js shell_panel)
foreach(form legacy esm)
  if(form STREQUAL legacy)
    set(PURRLOX_SHELL_VERSIONS "\"43\", \"44\"")
  else()
    set(PURRLOX_SHELL_VERSIONS "\"45\", \"46\", \"47\", \"48\", \"49\"")
  endif()
  set(dir ${PURRLOX_SHELL_EXTENSIONS}/${form}/${PURRLOX_SHELL_UUID})
  file(READ ${shell_src}/${form}.js wrapper)
  string(REPLACE "@PURRLOX_WINDOWS@" "${shell_windows}" script "${wrapper}")
  string(REPLACE "@PURRLOX_PANEL@" "${shell_panel}" script "${script}")
  file(WRITE ${dir}/extension.js "${script}")
  configure_file(${shell_src}/metadata.json.in ${dir}/metadata.json @ONLY)
endforeach()

# Both forms go into the install; the one matching the Shell found at install time goes where
# the Shell looks: the system folder for a system prefix, else the user's own folder.
install(DIRECTORY ${PURRLOX_SHELL_EXTENSIONS}/legacy ${PURRLOX_SHELL_EXTENSIONS}/esm
        DESTINATION share/purrlox/gnome-shell)
install(CODE "
  set(PURRLOX_SHELL_UUID \"${PURRLOX_SHELL_UUID}\")
  set(PURRLOX_SHELL_EXTENSIONS \"${PURRLOX_SHELL_EXTENSIONS}\")")
install(SCRIPT ${shell_src}/install-extension.cmake)
