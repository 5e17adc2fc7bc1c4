#include "platform/wayland/CompositorPointer.h"

#include "platform/x11/ScreenSpace.h"

CompositorPointer::CompositorPointer(Pointer& x11, Space space, bool allowsWarp)
    : x11_(x11), space_(std::move(space)), allowsWarp_(allowsWarp) {}

QPointF CompositorPointer::location() const {
    if (onRead) onRead();
    if (!rootPx_) return x11_.location();
    const ScreenSpace space = space_();
    return space.valid ? space.pointFromX11(*rootPx_) : x11_.location();
}

void CompositorPointer::warp(QPointF to) {
    if (allowsWarp_) x11_.warp(to);
}
