#pragma once

#include "platform/WindowList.h"
#include "platform/x11/X11Atoms.h"
#include "platform/x11/XcbBatch.h"

#include <QRect>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <xcb/xcb.h>

class X11EventFilter;
class X11WindowManager;

// One listed window, with its frame also in root pixels (for tests and diagnostics).
struct X11Window {
    WindowInfo info;
    QRect pixels;
};

// The window manager's stacking list, cached until the X server reports a change. A refresh
// sends every request before reading any reply: two round trips whatever the window count.
class X11WindowList final : public WindowList {
  public:
    // rootSubstructureIsOurs: Qt did not select SubstructureNotify on the root, so the events it
    // brings are swallowed here instead of reaching Qt.
    X11WindowList(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
                  X11EventFilter& events, const X11WindowManager& windowManager,
                  bool rootSubstructureIsOurs);

    std::vector<WindowInfo> windows() override;
    quint64 generation() const override { return generation_; }

    const std::vector<X11Window>& current(); // refreshes first when something changed
    void invalidate();
    const RoundTrips& roundTrips() const { return trips_; }
    quint64 refreshes() const { return refreshes_; }

  private:
    bool handle(const xcb_generic_event_t* event);
    bool isListed(xcb_window_t w) const { return watched_.count(w) != 0; }
    void refresh();
    std::vector<xcb_window_t> stackingOrder(quint32& desktop, bool& known);

    xcb_connection_t* c_;
    xcb_window_t root_;
    X11Atoms atoms_;
    const X11WindowManager& windowManager_;
    bool rootSubstructureIsOurs_;
    bool hasXRes_ = false;
    quint32 clientMask_ = 0; // the bits of an XID that name the owning client

    std::vector<X11Window> cache_;
    bool dirty_ = true;
    quint64 generation_ = 1;
    quint64 refreshes_ = 0;
    RoundTrips trips_;
    // Clients whose structure and property events we selected; true when only we asked for
    // them (the window is not one of Qt's own), so Qt never sees those events.
    std::unordered_map<xcb_window_t, bool> watched_;
    bool noStackingList_ = false;
    bool capped_ = false;
    std::unordered_set<xcb_window_t> oddExtents_; // windows whose extents were reported once

  public:
    // Asked about per refresh at most: each costs ten requests, and a hostile list may name
    // any number of windows.
    static constexpr std::size_t kMaxWindows = 400;
    // How deep inside a manager's frame its client is looked for, and how many windows a level
    // of one frame may hold.
    static constexpr int kFrameDepth = 4;
    static constexpr int kMaxInside = 64;
};
