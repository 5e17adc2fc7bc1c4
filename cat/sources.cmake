target_sources(purrlox_core PRIVATE
  cat/Activity.cpp
  cat/CatState.cpp
  cat/Ticker.cpp)
