#pragma once

#include "platform/x11/X11EventFilter.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <xcb/xcb.h>

// Whether a drag and drop (XDND) is under way anywhere on the desktop: a source takes the
// XdndSelection when its drag starts (XFixes tells), and the drag is over once no pointer
// button is held any more. Lets a panel that passes clicks through its clear parts show its
// whole area to a drag, so the drag finds it before the pointer reaches what it draws.
class DragWatch final : public QObject {
  public:
    // Without a connection it never sees a drag.
    explicit DragWatch(xcb_connection_t* c);
    bool dragging() const { return dragging_; }
    // Called when a drag starts and when it has ended.
    std::function<void()> onChange;

  private:
    bool handle(const xcb_generic_event_t* event);
    void checkButtons();

    xcb_connection_t* c_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    uint8_t xfixesEvents_ = 0;
    bool dragging_ = false;
    QTimer buttons_; // while a drag lasts only
    X11EventFilter events_;
};
