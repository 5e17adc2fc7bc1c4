target_sources(purrlox_core PRIVATE
  platform/xdg/XdgAutostart.cpp)
