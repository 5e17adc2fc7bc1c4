target_sources(purrlox_gui PRIVATE platform/x11/X11Panel.cpp platform/x11/CompositorWatch.cpp platform/x11/DragWatch.cpp
                                   platform/x11/X11PanelMover.cpp
                                   platform/x11/X11ServerFrames.cpp)
