target_sources(purrlox_core PRIVATE
  platform/AtomicFile.cpp
  platform/FileError.cpp
  platform/SettingsStore.cpp
  platform/StoredArray.cpp
  platform/FileStamp.cpp
  platform/SaveRetry.cpp
  platform/Clock.cpp
  platform/Random.cpp
  platform/TrashQueue.cpp)
include(platform/x11/sources.cmake)
include(platform/xdg/sources.cmake)
include(platform/linux/sources.cmake)
include(platform/wayland/sources.cmake)
