target_sources(purrlox_core PRIVATE
  base/Config.cpp
  base/Log.cpp)
