#pragma once

#include "platform/Screens.h"
#include "platform/x11/MonitorLayout.h"
#include "platform/x11/X11Atoms.h"
#include "platform/x11/XcbBatch.h"

#include <QRect>
#include <functional>
#include <vector>
#include <xcb/xcb.h>

class X11EventFilter;
class X11WindowManager;

// Every monitor Qt knows (RandR's monitors) and each one's work area, read from the window
// manager's and the docks' properties and kept until one of them or the monitors change.
class X11Screens final : public Screens {
  public:
    X11Screens(xcb_connection_t* c, xcb_window_t root, const X11Atoms& atoms,
               X11EventFilter& events, const X11WindowManager& windowManager);

    bool hasScreen() const override;
    Rect frame() const override;
    Rect visibleFrame() const override;
    double refreshRate() const override;
    std::vector<Monitor> monitors() const override;

    QRect workAreaPixels() const; // the primary's visible frame in root pixels
    void invalidate() { dirty_ = true; }
    // Called when a property the work area is made from changed.
    std::function<void()> dirtied;

  private:
    bool handle(const xcb_generic_event_t* event);
    void update() const; // reads the monitors' work areas again when dirty or moved
    std::vector<QRect> readWorkAreas(const std::vector<MonitorLayout::Output>& outputs) const;
    void logSources(const std::vector<MonitorLayout::Output>& outputs,
                    const std::vector<MonitorLayout::Area>& areas) const;

    xcb_connection_t* c_;
    xcb_window_t root_;
    X11Atoms atoms_;
    const X11WindowManager& windowManager_;
    mutable bool dirty_ = true;
    mutable std::vector<MonitorLayout::Output> outputs_; // Qt's screens at the last read
    mutable std::vector<QRect> workPx_;                  // each one's work area, root pixels
    mutable std::vector<Monitor> monitors_;
    mutable xcb_atom_t gtkAtom_ = 0; // _GTK_WORKAREAS_D<current desktop>
    mutable quint32 gtkDesktop_ = ~0u;
    mutable QString lastSource_;
    mutable std::vector<QRect> rejected_; // the implausible areas of the last read, logged once
    mutable RoundTrips trips_;
};
