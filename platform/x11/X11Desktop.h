#pragma once

#include "platform/DesktopSource.h"
#include "platform/x11/X11Atoms.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"

#include <QObject>
#include <memory>
#include <xcb/xcb.h>

class Clock;
class X11EventFilter;
class X11ScreenChanges;
class X11ScreenDark;
class X11WindowManager;

// The desktop backends on Qt's own xcb connection, sharing one event filter. Without an X11
// connection (another Qt platform) they report no screen, no windows and no idle time.
class X11Desktop final : public QObject, public DesktopSource {
  public:
    explicit X11Desktop(Clock& clock);
    ~X11Desktop() override;

    bool connected() const { return connected_; }
    X11Screens& screens() override { return *screens_; }
    X11WindowList& windowList() override { return *windowList_; }
    X11Pointer& pointer() override { return *pointer_; }
    X11InputIdle& inputIdle() override { return *inputIdle_; }
    X11WindowManager& windowManager() { return *windowManager_; }
    X11ScreenChanges& screenChanges() { return *screenChanges_; }
    X11ScreenDark& screenDark() { return *screenDark_; }

    // A panel of ours starts or ends a run of moves. While one moves and a window manager
    // runs, the root's SubstructureNotify, which would report each of those moves back to us,
    // is off: the window list still hears of windows through their own events and the
    // stacking list's property, and reads itself afresh once every panel stands still.
    void panelMoving(bool moving);

  private:
    void watchScreens();
    void quietRoot(bool quiet);

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    uint32_t rootMask_ = 0;
    bool substructureIsOurs_ = false;
    int movingPanels_ = 0;
    bool rootQuiet_ = false;
    bool connected_ = false;
    std::unique_ptr<X11EventFilter> events_;
    std::unique_ptr<X11WindowManager> windowManager_;
    std::unique_ptr<X11Screens> screens_;
    std::unique_ptr<X11WindowList> windowList_;
    std::unique_ptr<X11InputIdle> inputIdle_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<X11ScreenChanges> screenChanges_;
    std::unique_ptr<X11ScreenDark> screenDark_;
};
