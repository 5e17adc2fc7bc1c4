# The table of audio apps is plain data the headless tests read too.
target_sources(purrlox_core PRIVATE
  platform/linux/AudioApps.cpp)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
target_link_libraries(purrlox_gui PUBLIC PkgConfig::PULSE)
target_sources(purrlox_gui PRIVATE
  platform/linux/CameraWatch.cpp
  platform/linux/DbusMenu.cpp
  platform/linux/DbusMenuAdaptor.cpp
  platform/linux/LinuxDevices.cpp
  platform/linux/MprisPlayers.cpp
  platform/linux/PulseAudio.cpp
  platform/linux/SleepSignals.cpp
  platform/linux/StatusNotifierAdaptor.cpp
  platform/linux/StatusNotifierItem.cpp)
