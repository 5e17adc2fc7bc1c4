target_sources(purrlox_core PRIVATE
  base/Calendar.cpp
  base/Config.cpp
  base/Log.cpp
  base/LogBudget.cpp)
