#include "platform/x11/ScreenSpace.h"

#include <gtest/gtest.h>

namespace {

// A window the server reports, the panel Qt places and a press Qt reports must all land on
// the same engine points, wherever the primary monitor starts in the root.
TEST(ScreenSpace, WindowsPanelsAndPressesAgreeForAPrimaryRightOfAnother) {
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        ScreenSpace s;
        s.valid = true;
        s.ratio = ratio;
        // Primary to the right of a 1280-wide monitor, its top 100 pixels down the root.
        s.primaryPx = QRect(1280, 100, int(1920 * ratio), int(1080 * ratio));

        // A window whose top-left is 200 × 300 points into the primary, 400 × 250 points big.
        const QRect windowPx(1280 + int(200 * ratio), 100 + int(300 * ratio), int(400 * ratio),
                             int(250 * ratio));
        const Rect frame = s.fromX11(windowPx);
        EXPECT_EQ(frame, (Rect{200, 1080 - 300 - 250, 400, 250}));

        // A panel given that frame covers the window, in root pixels and in Qt's coordinates
        // (the screen's corner stays at its root pixel; points count from there).
        EXPECT_EQ(s.toX11(frame), windowPx);
        EXPECT_EQ(s.toQtGlobal(frame), QRect(1280 + 200, 100 + 300, 400, 250));

        // A press on the window's top-left corner, as Qt reports it, is the frame's top-left.
        EXPECT_EQ(s.pointFromQtGlobal(QPointF(1280 + 200, 100 + 300)),
                  QPointF(frame.x, frame.maxY()));
        // The pointer read from the server agrees, and warps back to the same pixel.
        const QPointF corner = s.pointFromX11(QPointF(windowPx.topLeft()));
        EXPECT_EQ(corner, QPointF(frame.x, frame.maxY()));
        EXPECT_EQ(s.pointToX11(corner), QPointF(windowPx.topLeft()));
    }
}

} // namespace
