target_sources(purrlox_core PRIVATE
  system/LaunchAtLogin.cpp
  system/Relaunch.cpp
  system/UpdateChecks.cpp)
if(PURRLOX_SELF_UPDATE)
  target_sources(purrlox_core PRIVATE
    system/ReleaseArchive.cpp
    system/Updater.cpp
    ${PURRLOX_UPDATE_KEY_SOURCE})
endif()
