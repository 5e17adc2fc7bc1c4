target_sources(purrlox_core PRIVATE
  platform/wayland/WaylandSession.cpp)
target_sources(purrlox_gui PRIVATE
  platform/wayland/CompositorPointer.cpp
  platform/wayland/CompositorScreens.cpp
  platform/wayland/CompositorWindowList.cpp
  platform/wayland/GnomeShellChannel.cpp
  platform/wayland/ShellPanelLabel.cpp
  platform/wayland/HyprlandChannel.cpp
  platform/wayland/IpcChannel.cpp
  platform/wayland/KWinChannel.cpp
  platform/wayland/KWinWindows.cpp
  platform/wayland/MutterIdle.cpp
  platform/wayland/SocketPath.cpp
  platform/wayland/SwayChannel.cpp
  platform/wayland/WaylandDesktop.cpp)
qt_add_resources(purrlox_gui kwin_script PREFIX "/wayland" BASE platform/wayland
                 FILES platform/wayland/kwin/windows.js)
include(platform/wayland/protocols.cmake)
target_sources(purrlox_gui PRIVATE platform/wayland/WaylandIdle.cpp)
