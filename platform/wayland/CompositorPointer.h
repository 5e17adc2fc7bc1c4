#pragma once

#include "platform/Pointer.h"

#include <functional>
#include <optional>

struct ScreenSpace;

// The pointer on a Wayland session. XWayland sees the pointer only while it is over an X11
// window, so where the compositor tells its position that wins; buttons still come from X11
// (a press on our own panels is what they are read for), and a warp goes through only where
// the compositor lets XWayland move its pointer.
class CompositorPointer final : public Pointer {
  public:
    using Space = std::function<ScreenSpace()>;
    CompositorPointer(Pointer& x11, Space space, bool allowsWarp);

    // From the channel, already in root pixels; nullopt when the channel went away.
    void setRootPosition(std::optional<QPointF> px) { rootPx_ = px; }
    // The compositor's last word on the pointer, in root pixels; nullopt when it tells none.
    std::optional<QPointF> rootPosition() const { return rootPx_; }

    QPointF location() const override;
    bool anyButtonPressed() const override { return x11_.anyButtonPressed(); }
    bool leftButtonPressed() const override { return x11_.leftButtonPressed(); }
    void warp(QPointF to) override;

    // Called on each read of the position: channels that must ask for it ask while it is read.
    std::function<void()> onRead;

  private:
    Pointer& x11_;
    Space space_;
    bool allowsWarp_;
    std::optional<QPointF> rootPx_;
};
