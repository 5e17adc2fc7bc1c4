target_sources(purrlox_core PRIVATE
  app/Log.cpp
  app/Config.cpp
  app/AppDelegate.cpp
  app/AppModel.cpp)
target_sources(purrlox_gui PRIVATE
  app/SingleInstance.cpp
  app/Automation.cpp
  app/PurrloxApp.cpp)
include(platform/x11/panel.cmake)
