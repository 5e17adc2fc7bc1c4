#pragma once

class InputIdle;
class Pointer;
class Screens;
class WindowList;

// Where the cat learns the desktop from: the monitors, the windows, the pointer and the idle
// time. The X server on an X11 session; on a Wayland one, the compositor where it tells.
class DesktopSource {
  public:
    virtual ~DesktopSource() = default;
    virtual Screens& screens() = 0;
    virtual WindowList& windowList() = 0;
    virtual Pointer& pointer() = 0;
    virtual InputIdle& inputIdle() = 0;
};
