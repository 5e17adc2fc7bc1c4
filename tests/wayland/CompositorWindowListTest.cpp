#include "platform/wayland/CompositorWindowList.h"

#include "platform/wayland/WaylandSession.h"
#include "platform/x11/ScreenSpace.h"

#include <gtest/gtest.h>

namespace {

QProcessEnvironment env(std::initializer_list<std::pair<const char*, const char*>> vars) {
    QProcessEnvironment e;
    for (auto [k, v] : vars)
        e.insert(QString::fromLatin1(k), QString::fromLatin1(v));
    return e;
}

using C = WaylandSession::Compositor;

TEST(WaylandSession, NamesTheCompositorFromItsOwnSocketFirst) {
    EXPECT_FALSE(WaylandSession::detect(env({{"DISPLAY", ":0"}})).wayland);
    EXPECT_EQ(WaylandSession::detect(env({{"XDG_SESSION_TYPE", "x11"}})).compositor, C::none);
    // A sway started from a Plasma login still is sway.
    EXPECT_EQ(WaylandSession::detect(env({{"WAYLAND_DISPLAY", "wayland-1"},
                                          {"XDG_CURRENT_DESKTOP", "KDE"},
                                          {"SWAYSOCK", "/run/user/1/sway-ipc.sock"}}))
                  .compositor,
              C::sway);
    EXPECT_EQ(WaylandSession::detect(
                  env({{"WAYLAND_DISPLAY", "w"}, {"HYPRLAND_INSTANCE_SIGNATURE", "abc"}}))
                  .compositor,
              C::hyprland);
    EXPECT_EQ(WaylandSession::detect(
                  env({{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}))
                  .compositor,
              C::gnomeShell);
    EXPECT_EQ(
        WaylandSession::detect(env({{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "kde"}}))
            .compositor,
        C::kwin);
    const WaylandSession labwc = WaylandSession::detect(
        env({{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "labwc:wlroots"}}));
    EXPECT_EQ(labwc.compositor, C::other);
    EXPECT_EQ(labwc.name, QStringLiteral("labwc"));
}

// A 1920 × 1080 primary at the root's origin, one point per pixel.
ScreenSpace primary(QRect px, double ratio = 1.0) {
    ScreenSpace s;
    s.valid = true;
    s.primaryPx = px;
    s.ratio = ratio;
    return s;
}

CompositorWindow window(const char* key, QRect frame, int layer = 0) {
    CompositorWindow w;
    w.key = QString::fromLatin1(key);
    w.frame = frame;
    w.layer = layer;
    return w;
}

TEST(CompositorWindowList, MapsLogicalFramesIntoRootPixelsAndThenYUpPoints) {
    QRect root(0, 0, 1920, 1080);
    ScreenSpace space = primary(QRect(0, 0, 1920, 1080));
    CompositorWindowList list([&] { return root; }, [&] { return space; });
    int changes = 0;
    list.onChange = [&] { ++changes; };

    // An output layout starting at (-1920, 0) in the compositor's space, XWayland's monitor at
    // the root's corner.
    list.update({{window("a", QRect(-1820, 100, 400, 300)), window("b", QRect(0, 0, 10, 10), 20)},
                 QRect(-1920, 0, 1920, 1080),
                 {}});
    std::vector<WindowInfo> w = list.windows();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].frame, (Rect{100, 1080 - 400, 400, 300}));
    EXPECT_EQ(w[1].layer, 20);
    EXPECT_EQ(changes, 1);

    // Root in device pixels at twice the logical size (X11 clients scale themselves): frames
    // double, and with a ratio of 2 the engine's points come out as the logical pixels.
    root = QRect(0, 0, 3840, 2160);
    space = primary(QRect(0, 0, 3840, 2160), 2.0);
    list.update({{window("a", QRect(100, 50, 400, 300))}, QRect(0, 0, 1920, 1080), {}});
    w = list.windows();
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].frame, (Rect{100, 1080 - 350, 400, 300}));
    EXPECT_EQ(list.pointToRoot(QPointF(10, 20)), QPointF(20, 40));

    // An output at 200,100 of the layout is a monitor at +200+100 of a 1480 × 900 root: a
    // point stays where it is (a tray host's click), it is not moved to the root's corner.
    root = QRect(200, 100, 1280, 800);
    list.update({{window("a", QRect(300, 150, 400, 300))}, QRect(200, 100, 1280, 800), {}});
    EXPECT_EQ(list.pointToRoot(QPointF(900, 111)), QPointF(900, 111));
}

TEST(CompositorWindowList, KeepsIdsStableAndSurvivesHostileListsAndLostChannels) {
    CompositorWindowList list([] { return QRect(0, 0, 1920, 1080); },
                              [] { return primary(QRect(0, 0, 1920, 1080)); });
    const QRect out(0, 0, 1920, 1080);
    list.update({{window("x", QRect(0, 0, 50, 50)), window("y", QRect(0, 0, 60, 60))}, out, {}});
    const quint32 x = list.windows()[0].id, y = list.windows()[1].id;
    EXPECT_NE(x, y);
    // Restacked: the ids follow the windows, not the positions.
    list.update({{window("y", QRect(0, 0, 60, 60)), window("x", QRect(0, 0, 50, 50))}, out, {}});
    EXPECT_EQ(list.windows()[0].id, y);
    EXPECT_EQ(list.windows()[1].id, x);

    // No key, absurd sizes: left out; the rest stays.
    list.update({{window("", QRect(0, 0, 5, 5)), window("z", QRect(0, 0, 1 << 30, 5)),
                  window("x", QRect(0, 0, 50, 50))},
                 out,
                 {}});
    ASSERT_EQ(list.windows().size(), 1u);
    EXPECT_EQ(list.windows()[0].id, x);

    // Capped like the X11 list.
    CompositorWindows many;
    many.outputs = out;
    for (int i = 0; i < 50000; ++i)
        many.windows.push_back(
            window(QByteArray::number(i).constData(), QRect(i % 100, 0, 10, 10)));
    list.update(many);
    EXPECT_EQ(list.windows().size(), CompositorWindowList::kMaxWindows);

    const quint64 before = list.generation();
    int changes = 0;
    list.onChange = [&] { ++changes; };
    list.lost();
    EXPECT_TRUE(list.windows().empty());
    EXPECT_GT(list.generation(), before);
    EXPECT_EQ(changes, 1);
}

} // namespace
