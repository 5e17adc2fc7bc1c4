#pragma once

#include "platform/Pointer.h"
#include "platform/x11/XcbBatch.h"

#include <xcb/xcb.h>

class X11InputIdle;

// The pointer through xcb_query_pointer and xcb_warp_pointer. The engine reads it every frame;
// while XInput2 reports no pointer event the last answer stands (refreshed every two seconds for
// other programs' warps), so a resting pointer costs no round trips.
class X11Pointer final : public Pointer {
  public:
    X11Pointer(xcb_connection_t* c, xcb_window_t root, X11InputIdle* idle);

    QPointF location() const override;
    bool anyButtonPressed() const override;
    bool leftButtonPressed() const override;
    void warp(QPointF to) override;

    uint16_t buttonMask() const; // X11 key-and-button mask

  private:
    struct State {
        QPointF px;
        uint16_t mask = 0;
    };
    State query() const;

    xcb_connection_t* c_;
    xcb_window_t root_;
    X11InputIdle* idle_;
    mutable RoundTrips trips_;
    mutable State cached_;
    mutable double cachedAt_ = -1; // monotonic seconds; negative = nothing cached
    static constexpr double kRefresh = 2.0;
};
