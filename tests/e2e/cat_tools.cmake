# The cat's e2e scripts talk to the app's automation socket through this client.
add_executable(cat-ask ${CMAKE_CURRENT_LIST_DIR}/cat_ask.cpp)
target_link_libraries(cat-ask PRIVATE Qt6::Network purrlox_warnings)
# Screen modes for the e2e scripts and the screen-change benchmark.
add_executable(randr-mode ${CMAKE_CURRENT_LIST_DIR}/randr_mode.cpp)
target_link_libraries(randr-mode PRIVATE PkgConfig::XCB purrlox_warnings)
