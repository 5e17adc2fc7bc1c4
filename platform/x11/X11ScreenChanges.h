#pragma once

#include "platform/Screens.h"

#include <QObject>
#include <vector>
#include <xcb/xcb.h>

class X11EventFilter;
class X11Screens;
class X11WindowList;

// Folds every way the desktop's geometry changes (RANDR notifications, Qt's screen signals,
// work-area and strut properties, a window manager coming or going) into one refresh per burst:
// the cached frames are dropped and, when any monitor, its work area or its rate really changed
// (or monitors came or went), Screens::onChanged is called once.
class X11ScreenChanges final : public QObject {
  public:
    X11ScreenChanges(xcb_connection_t* c, xcb_window_t root, X11EventFilter& events,
                     X11Screens& screens, X11WindowList& windowList);

    // Something may have changed; the refresh runs once the events at hand are handled.
    void note();
    quint64 notifications() const { return notifications_; }

  private:
    bool handle(const xcb_generic_event_t* event);
    void refresh();

    X11Screens& screens_;
    X11WindowList& windowList_;
    uint8_t randrEvents_ = 0; // first RANDR event code; 0 without the extension
    bool pending_ = false;
    Rect frame_, visible_;
    double rate_ = 0; // the primary screen's refresh rate
    std::vector<Monitor> monitors_;
    quint64 notifications_ = 0;
};
