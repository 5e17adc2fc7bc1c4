#pragma once

#include "platform/x11/X11EventFilter.h"

#include <functional>
#include <xcb/xcb.h>

// Whether a compositing manager runs, followed through XFixes selection-owner events on
// _NET_WM_CM_S<screen>: the answer changes in the same event that brings the news, never on a
// timer.
class CompositorWatch final {
  public:
    // `changed` is called with the new state each time it flips.
    CompositorWatch(xcb_connection_t* c, std::function<void(bool running)> changed);
    CompositorWatch(const CompositorWatch&) = delete;
    CompositorWatch& operator=(const CompositorWatch&) = delete;

    bool running() const { return running_; }

  private:
    bool handle(const xcb_generic_event_t* event);
    void set(bool running);

    std::function<void(bool)> changed_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    uint8_t xfixesEvents_ = 0; // first XFixes event code; 0 without the extension
    bool running_ = true;      // without any way to tell, assume per-pixel alpha works
    X11EventFilter events_;
};
