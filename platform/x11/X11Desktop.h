#pragma once

#include "platform/x11/X11Atoms.h"

#include <QObject>
#include <memory>

class Clock;
class X11EventFilter;
class X11InputIdle;
class X11Pointer;
class X11ScreenChanges;
class X11Screens;
class X11WindowList;
class X11WindowManager;

// The desktop backends on Qt's own xcb connection, sharing one event filter. Without an X11
// connection (another Qt platform) they report no screen, no windows and no idle time.
class X11Desktop final : public QObject {
  public:
    explicit X11Desktop(Clock& clock);
    ~X11Desktop() override;

    bool connected() const { return connected_; }
    X11Screens& screens() { return *screens_; }
    X11WindowList& windowList() { return *windowList_; }
    X11Pointer& pointer() { return *pointer_; }
    X11InputIdle& inputIdle() { return *inputIdle_; }
    X11WindowManager& windowManager() { return *windowManager_; }
    X11ScreenChanges& screenChanges() { return *screenChanges_; }

  private:
    void watchScreens();

    bool connected_ = false;
    std::unique_ptr<X11EventFilter> events_;
    std::unique_ptr<X11WindowManager> windowManager_;
    std::unique_ptr<X11Screens> screens_;
    std::unique_ptr<X11WindowList> windowList_;
    std::unique_ptr<X11InputIdle> inputIdle_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<X11ScreenChanges> screenChanges_;
};
