# The cat's e2e scripts talk to the app's automation socket through this client.
add_executable(cat-ask ${CMAKE_CURRENT_LIST_DIR}/cat_ask.cpp)
target_link_libraries(cat-ask PRIVATE Qt6::Network purrlox_warnings)
# A drag source that drags files onto the cat with the real pointer.
add_executable(drag-files ${CMAKE_CURRENT_LIST_DIR}/drag_files.cpp)
target_link_libraries(drag-files PRIVATE Qt6::Widgets purrlox_warnings)
