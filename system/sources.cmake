target_sources(purrlox_core PRIVATE
  system/LaunchAtLogin.cpp
  system/ReleaseArchive.cpp
  system/Relaunch.cpp
  system/Updater.cpp
  ${PURRLOX_UPDATE_KEY_SOURCE})
