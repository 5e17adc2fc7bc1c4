#include "platform/x11/X11Pointer.h"

#include "platform/x11/ScreenSpace.h"
#include "platform/x11/X11InputIdle.h"

#include <cmath>

namespace {
constexpr uint16_t kAnyButton = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 |
                                XCB_BUTTON_MASK_4 | XCB_BUTTON_MASK_5;
} // namespace

X11Pointer::X11Pointer(xcb_connection_t* c, xcb_window_t root, X11InputIdle* idle)
    : c_(c), root_(root), idle_(idle) {}

X11Pointer::State X11Pointer::query() const {
    if (!c_) return {};
    double now = -1;
    if (idle_) {
        now = idle_->monotonicNow();
        const std::optional<double> moved = idle_->lastPointerEvent();
        if (moved && cachedAt_ >= 0 && *moved < cachedAt_ && now - cachedAt_ < kRefresh)
            return cached_;
    }
    const auto cookie = xcb_query_pointer(c_, root_);
    auto r = XcbBatch(c_, trips_).get(xcb_query_pointer_reply, cookie);
    if (!r) {
        cachedAt_ = -1;
        return {};
    }
    cached_ = {QPointF(r->root_x, r->root_y), r->mask};
    cachedAt_ = now;
    return cached_;
}

QPointF X11Pointer::location() const {
    const ScreenSpace space = ScreenSpace::current();
    return space.valid ? space.pointFromX11(query().px) : QPointF();
}

uint16_t X11Pointer::buttonMask() const {
    return query().mask;
}
bool X11Pointer::anyButtonPressed() const {
    return buttonMask() & kAnyButton;
}
bool X11Pointer::leftButtonPressed() const {
    return buttonMask() & XCB_BUTTON_MASK_1;
}

void X11Pointer::warp(QPointF to) {
    const ScreenSpace space = ScreenSpace::current();
    if (!c_ || !space.valid) return;
    if (idle_) idle_->warping();
    cachedAt_ = -1;
    const QPointF px = space.pointToX11(to);
    xcb_warp_pointer(c_, XCB_NONE, root_, 0, 0, 0, 0, int16_t(std::lround(px.x())),
                     int16_t(std::lround(px.y())));
    xcb_flush(c_);
}
