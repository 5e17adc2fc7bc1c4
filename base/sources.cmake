target_sources(purrlox_core PRIVATE
  base/Calendar.cpp
  base/Log.cpp)
