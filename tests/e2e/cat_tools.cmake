# The cat's e2e scripts talk to the app's automation socket through this client.
add_executable(cat-ask ${CMAKE_CURRENT_LIST_DIR}/cat_ask.cpp)
target_link_libraries(cat-ask PRIVATE Qt6::Network purrlox_warnings)
# Screen modes for the e2e scripts and the screen-change benchmark.
add_executable(randr-mode ${CMAKE_CURRENT_LIST_DIR}/randr_mode.cpp)
target_link_libraries(randr-mode PRIVATE PkgConfig::XCB purrlox_warnings)
# Stand-ins for a media player and logind on private buses.
add_executable(fake-services ${CMAKE_CURRENT_LIST_DIR}/fake_services.cpp)
target_link_libraries(fake-services PRIVATE Qt6::DBus purrlox_warnings)
# A drag source that drags files onto the cat with the real pointer.
add_executable(drag-files ${CMAKE_CURRENT_LIST_DIR}/drag_files.cpp)
target_link_libraries(drag-files PRIVATE Qt6::Widgets PkgConfig::XCB purrlox_warnings)
