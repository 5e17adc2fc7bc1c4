#pragma once

#include "platform/Screens.h"
#include "platform/x11/X11Atoms.h"
#include "platform/x11/XcbBatch.h"

#include <QRect>
#include <functional>
#include <xcb/xcb.h>

class X11EventFilter;
class X11WindowManager;

// The primary screen and its work area, read from the window manager's properties and kept
// until one of them changes.
class X11Screens final : public Screens {
  public:
    X11Screens(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
               X11EventFilter& events, const X11WindowManager& windowManager);

    bool hasScreen() const override;
    Rect frame() const override;
    Rect visibleFrame() const override;
    double refreshRate() const override;

    QRect workAreaPixels() const; // the visible frame in root pixels
    void invalidate() { dirty_ = true; }
    // Called when a property the work area is made from changed.
    std::function<void()> dirtied;

  private:
    bool handle(const xcb_generic_event_t* event);
    QRect readWorkArea(const QRect& monitor) const;
    QRect plausible(const QRect& area, const QRect& monitor) const;

    xcb_connection_t* c_;
    xcb_window_t root_;
    X11Atoms atoms_;
    const X11WindowManager& windowManager_;
    mutable bool dirty_ = true;
    mutable QRect workPx_;
    mutable xcb_atom_t gtkAtom_ = 0; // _GTK_WORKAREAS_D<current desktop>
    mutable quint32 gtkDesktop_ = ~0u;
    mutable QString lastSource_;
    mutable QRect rejected_; // the last implausible area, logged once
    mutable RoundTrips trips_;
};
