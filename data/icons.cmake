# The app icon: the SVG is the source; its PNG sizes for the hicolor theme and the window icon
# are drawn from it at build time and packed into the program as ":/icons/<size>.png".
set(PURRLOX_ICON_SVG ${CMAKE_CURRENT_SOURCE_DIR}/data/app.purrlox.Purrlox.svg)
set(PURRLOX_ICON_SIZES 48 64 128 256)
set(icons_dir ${CMAKE_BINARY_DIR}/icons)
add_executable(purrlox-icons tools/purrlox-icons.cpp)
target_link_libraries(purrlox-icons PRIVATE Qt6::Gui Qt6::Svg purrlox_warnings)
set(icon_pngs "")
set(icons_qrc_files "")
foreach(size ${PURRLOX_ICON_SIZES})
  list(APPEND icon_pngs ${icons_dir}/${size}.png)
  string(APPEND icons_qrc_files "    <file>${size}.png</file>\n")
endforeach()
add_custom_command(
  OUTPUT ${icon_pngs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${icons_dir}
  COMMAND purrlox-icons ${PURRLOX_ICON_SVG} ${icons_dir} ${PURRLOX_ICON_SIZES}
  DEPENDS purrlox-icons ${PURRLOX_ICON_SVG}
  COMMENT "Drawing the app icon's sizes"
  VERBATIM)
file(CONFIGURE OUTPUT ${icons_dir}/icons.qrc CONTENT
  "<RCC>\n  <qresource prefix=\"/icons\">\n${icons_qrc_files}  </qresource>\n</RCC>\n")
add_custom_command(
  OUTPUT ${icons_dir}/icons_rcc.cpp
  COMMAND Qt6::rcc --name purrlox_icons --output ${icons_dir}/icons_rcc.cpp ${icons_dir}/icons.qrc
  DEPENDS ${icon_pngs} ${icons_dir}/icons.qrc
  COMMENT "Packing the app icon into resources"
  VERBATIM)
# An object library, so the resources' static registration reaches the program.
add_library(purrlox_icons OBJECT ${icons_dir}/icons_rcc.cpp)
target_link_libraries(purrlox_icons PUBLIC Qt6::Core)
