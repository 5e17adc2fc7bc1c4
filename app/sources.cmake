target_sources(purrlox_core PRIVATE app/Log.cpp app/Config.cpp)
