# The idle-notify protocols, generated from the XML the distribution ships: the staging
# ext-idle-notify-v1 (wayland-protocols) and KDE's org_kde_kwin_idle (plasma-wayland-protocols),
# which sway 1.7 still offers instead.
enable_language(C)
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_package(PlasmaWaylandProtocols REQUIRED)

set(purrlox_protocol_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
file(MAKE_DIRECTORY ${purrlox_protocol_dir})
set(purrlox_protocol_sources)
foreach(pair
    "ext-idle-notify-v1|${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml"
    "kde-idle|${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 xml)
  add_custom_command(
    OUTPUT ${purrlox_protocol_dir}/${name}-client-protocol.h ${purrlox_protocol_dir}/${name}-protocol.c
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${purrlox_protocol_dir}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${purrlox_protocol_dir}/${name}-protocol.c
    DEPENDS ${xml} VERBATIM)
  list(APPEND purrlox_protocol_sources ${purrlox_protocol_dir}/${name}-client-protocol.h
       ${purrlox_protocol_dir}/${name}-protocol.c)
endforeach()
add_library(purrlox_wayland_protocols STATIC ${purrlox_protocol_sources})
target_include_directories(purrlox_wayland_protocols PUBLIC ${purrlox_protocol_dir})
target_link_libraries(purrlox_wayland_protocols PUBLIC PkgConfig::WAYLAND)
set_target_properties(purrlox_wayland_protocols PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(purrlox_gui PUBLIC purrlox_wayland_protocols)
