#include "platform/x11/MonitorLayout.h"

#include <gtest/gtest.h>

namespace {

using MonitorLayout::Output;
using MonitorLayout::Reserved;

// The conversion the app makes from Qt's primary screen.
ScreenSpace spaceOf(const Output& primary) {
    ScreenSpace s;
    s.valid = true;
    s.primaryPx = primary.pixels;
    s.ratio = primary.pixelRatio;
    return s;
}

// What X11Screens does with one read of the root: each output's work area, then the monitors.
std::vector<Monitor> layout(const std::vector<Output>& outputs, const Reserved& reserved) {
    std::vector<QRect> work;
    for (const Output& o : outputs)
        work.push_back(MonitorLayout::workArea(o.pixels, reserved, int(outputs.size())).pixels);
    for (const Output& o : outputs)
        if (o.primary) return MonitorLayout::monitors(outputs, work, spaceOf(o));
    return {};
}

// A dock's _NET_WM_STRUT_PARTIAL: the bottom band, or the left band, with its span.
WorkArea::Strut bottomStrut(quint32 height, quint32 fromX, quint32 toX) {
    WorkArea::Strut s;
    s.bottom = height, s.bottomStartX = fromX, s.bottomEndX = toX;
    return s;
}
WorkArea::Strut leftStrut(quint32 width, quint32 fromY, quint32 toY) {
    WorkArea::Strut s;
    s.left = width, s.leftStartY = fromY, s.leftEndY = toY;
    return s;
}

// The primary stands right of a smaller monitor whose top is level with it. Each dock cuts the
// monitor it stands on: the primary's left dock reserves from the root's left edge, across the
// whole left monitor, and must neither cut that one nor cancel the left monitor's own panel.
TEST(MonitorLayout, PrimaryRightOfAnotherEachWithItsOwnDock) {
    const std::vector<Output> outputs{{"HDMI-1", QRect(0, 0, 1280, 1024), 75, 1, false},
                                      {"DP-1", QRect(1280, 0, 1920, 1080), 144, 1, true}};
    Reserved reserved;
    reserved.root = QSize(3200, 1080);
    reserved.clients = true;
    reserved.struts = {leftStrut(1280 + 48, 0, 1079),
                       bottomStrut(1080 - 1024 + 30, 0, 1279)}; // the left one's 30 px panel

    const std::vector<Monitor> m = layout(outputs, reserved);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].name, "DP-1");
    EXPECT_TRUE(m[0].primary);
    EXPECT_EQ(m[0].refreshRate, 144);
    EXPECT_EQ(m[0].frame, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(m[0].visibleFrame, (Rect{48, 0, 1920 - 48, 1080}));

    EXPECT_EQ(m[1].name, "HDMI-1");
    EXPECT_FALSE(m[1].primary);
    EXPECT_EQ(m[1].refreshRate, 75);
    // 56 pixels shorter with the tops level: its bottom stands 56 points above the primary's.
    EXPECT_EQ(m[1].frame, (Rect{-1280, 56, 1280, 1024}));
    EXPECT_EQ(m[1].visibleFrame, (Rect{-1280, 56 + 30, 1280, 1024 - 30}));
}

// A second monitor on the right, 180 pixels shorter: its dock's strut counts from the root's
// bottom edge, so it is 180 pixels deeper than the dock, and cuts that monitor only.
TEST(MonitorLayout, DockOnAHigherSecondMonitorOnly) {
    const std::vector<Output> outputs{{"DP-1", QRect(0, 0, 1920, 1080), 60, 1, true},
                                      {"DP-2", QRect(1920, 0, 1280, 900), 60, 1, false}};
    Reserved reserved;
    reserved.root = QSize(3200, 1080);
    reserved.clients = true;
    reserved.struts = {bottomStrut(180 + 40, 1920, 3199)};

    const std::vector<Monitor> m = layout(outputs, reserved);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].visibleFrame, m[0].frame);
    EXPECT_EQ(m[1].frame, (Rect{1920, 180, 1280, 900}));
    EXPECT_EQ(m[1].visibleFrame, (Rect{1920, 180 + 40, 1280, 900 - 40}));

    // With a dock on the primary's bottom as well, each keeps to its own monitor.
    reserved.struts.push_back(bottomStrut(60, 0, 1919));
    const std::vector<Monitor> both = layout(outputs, reserved);
    EXPECT_EQ(both[0].visibleFrame, (Rect{0, 60, 1920, 1080 - 60}));
    EXPECT_EQ(both[1].visibleFrame, m[1].visibleFrame);
}

// GTK's per-monitor areas win on the monitor each lies on, one too small to be a work area
// gives way to the struts there, and _NET_WORKAREA (one box over all monitors) serves a lone
// monitor only.
TEST(MonitorLayout, WorkAreaSourcesPerMonitor) {
    const QRect primary(0, 0, 1920, 1080), second(1920, 0, 1280, 900);
    Reserved reserved;
    reserved.root = QSize(3200, 1080);
    reserved.clients = true;
    reserved.struts = {bottomStrut(180 + 40, 1920, 3199)};
    reserved.gtk = {QRect(0, 32, 1920, 1048), QRect(1920, 0, 1280, 10)};

    const auto onPrimary = MonitorLayout::workArea(primary, reserved, 2);
    EXPECT_EQ(onPrimary.pixels, QRect(0, 32, 1920, 1048));
    EXPECT_EQ(onPrimary.source, MonitorLayout::Source::gtk);
    const auto onSecond = MonitorLayout::workArea(second, reserved, 2);
    EXPECT_EQ(onSecond.pixels, QRect(1920, 0, 1280, 860));
    EXPECT_EQ(onSecond.source, MonitorLayout::Source::struts);
    EXPECT_EQ(onSecond.rejected, std::vector<QRect>{QRect(1920, 0, 1280, 10)});

    Reserved netOnly;
    netOnly.root = QSize(3200, 1080);
    netOnly.net = QRect(0, 0, 3200, 860);
    EXPECT_EQ(MonitorLayout::workArea(primary, netOnly, 2).pixels, primary);
    EXPECT_EQ(MonitorLayout::workArea(primary, netOnly, 1).pixels, QRect(0, 0, 1920, 860));
}

} // namespace
