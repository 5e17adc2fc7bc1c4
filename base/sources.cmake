target_sources(purrlox_core PRIVATE
  base/Log.cpp)
