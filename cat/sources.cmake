target_sources(purrlox_core PRIVATE
  cat/Activity.cpp
  cat/CatOverlay.cpp
  cat/CatState.cpp
  cat/Ticker.cpp
  cat/bed.cpp
  cat/climbing.cpp
  cat/desktop.cpp
  cat/eating.cpp
  cat/holding.cpp
  cat/hunting.cpp
  cat/letters.cpp
  cat/panels.cpp
  cat/picture.cpp
  cat/screens.cpp
  cat/system.cpp)
