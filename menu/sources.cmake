target_sources(purrlox_gui PRIVATE menu/Theme.cpp)
