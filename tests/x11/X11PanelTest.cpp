#include "platform/x11/X11Panel.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

TEST(X11Panel, FramesInYUpPointsPlaceTheWindowFromTheScreenBottom) {
    X11Panel panel;
    const double bottom = QGuiApplication::primaryScreen()->geometry().bottom() + 1;
    panel.setFrame(Rect{100.4, 12, 130, 150});
    EXPECT_EQ(panel.frame(), (Rect{100.4, 12, 130, 150})); // exactly what the engine set
    EXPECT_EQ(panel.window()->geometry(), QRect(100, int(bottom) - 162, 130, 150));
    panel.show();
    EXPECT_TRUE(panel.isVisible());
    panel.hide();
    EXPECT_FALSE(panel.isVisible());
}

TEST(X11Panel, IsAFramelessTranslucentWindowThatNeverTakesFocus) {
    X11Panel panel;
    const Qt::WindowFlags flags = panel.window()->windowFlags();
    for (Qt::WindowType f : {Qt::Tool, Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint,
                             Qt::WindowDoesNotAcceptFocus, Qt::X11BypassWindowManagerHint})
        EXPECT_TRUE(flags.testFlag(f)) << f;
    EXPECT_TRUE(panel.window()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(panel.window()->testAttribute(Qt::WA_ShowWithoutActivating));
    panel.setInputRegion(QRegion(10, 20, 30, 40));
    EXPECT_EQ(panel.inputRegion(), QRegion(10, 20, 30, 40));
}

} // namespace
