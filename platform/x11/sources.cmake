target_sources(purrlox_gui PRIVATE
  platform/x11/MonitorLayout.cpp
  platform/x11/ScreenSpace.cpp
  platform/x11/WindowFrame.cpp
  platform/x11/WorkArea.cpp
  platform/x11/X11Atoms.cpp
  platform/x11/X11Desktop.cpp
  platform/x11/X11Display.cpp
  platform/x11/X11EventFilter.cpp
  platform/x11/X11InputIdle.cpp
  platform/x11/X11Pointer.cpp
  platform/x11/X11ScreenChanges.cpp
  platform/x11/X11ScreenDark.cpp
  platform/x11/X11Screens.cpp
  platform/x11/X11WindowList.cpp
  platform/x11/X11WindowManager.cpp)
target_sources(purrlox_gui PRIVATE
  platform/x11/CompositorWatch.cpp
  platform/x11/DragWatch.cpp
  platform/x11/X11Panel.cpp
  platform/x11/X11PanelMover.cpp
  platform/x11/X11ServerFrames.cpp)
