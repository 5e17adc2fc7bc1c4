#pragma once

#include "platform/x11/X11Atoms.h"
#include "platform/x11/XcbBatch.h"

#include <functional>
#include <xcb/xcb.h>

class X11EventFilter;

// Whether a window manager runs. Its root properties (stacking list, work area) are trusted
// only while the window named by the root's _NET_SUPPORTING_WM_CHECK exists and names itself
// the same way; a manager that died leaves those properties behind, stale.
class X11WindowManager {
  public:
    X11WindowManager(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
                     X11EventFilter& events);
    X11WindowManager(const X11WindowManager&) = delete;
    X11WindowManager& operator=(const X11WindowManager&) = delete;

    bool running() const { return running_; }
    // Called after running() changed.
    std::function<void()> changed;

  private:
    bool handle(const xcb_generic_event_t* event);
    void check();
    void set(bool running);

    xcb_connection_t* c_;
    xcb_window_t root_;
    X11Atoms atoms_;
    xcb_window_t checkWindow_ = XCB_WINDOW_NONE;
    bool running_ = false;
    RoundTrips trips_;
};
