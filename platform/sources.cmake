target_sources(purrlox_core PRIVATE
  platform/Defaults.cpp
  platform/FileStamp.cpp
  platform/SaveRetry.cpp
  platform/Clock.cpp
  platform/Random.cpp
  platform/AudioApps.cpp
  platform/FreedesktopTrash.cpp
  platform/TrashFolder.cpp
  platform/TrashQueue.cpp)
include(platform/x11/sources.cmake)
include(platform/xdg/sources.cmake)
include(platform/linux/sources.cmake)
target_sources(purrlox_core PRIVATE
  platform/wayland/WaylandSession.cpp)
target_sources(purrlox_gui PRIVATE
  platform/wayland/CompositorPointer.cpp
  platform/wayland/CompositorWindowList.cpp
  platform/wayland/HyprlandChannel.cpp
  platform/wayland/SocketPath.cpp
  platform/wayland/SwayChannel.cpp
  platform/wayland/WaylandDesktop.cpp)
include(platform/wayland/protocols.cmake)
target_sources(purrlox_gui PRIVATE platform/wayland/WaylandIdle.cpp)
