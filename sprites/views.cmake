target_sources(purrlox_gui PRIVATE
  sprites/CatView.cpp
  sprites/CatHostingView.cpp
  sprites/BedView.cpp)
