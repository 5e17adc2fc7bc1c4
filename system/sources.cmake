target_sources(purrlox_core PRIVATE
  system/LaunchAtLogin.cpp
  system/Relaunch.cpp)
