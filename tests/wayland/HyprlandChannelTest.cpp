#include "platform/wayland/HyprlandChannel.h"

#include "wayland/FakeIpcServer.h"

#include <QHash>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Hyprland is not packaged in Debian 12: the channel is tested against this fake of its two
// documented sockets. Requests: the client writes "j/<command>", Hyprland answers and closes.
// Events: "name>>data" lines on .socket2.sock.
namespace {

struct FakeHyprland {
    FakeIpcServer requests, events;
    QHash<QByteArray, QByteArray> replies;
    QHash<QByteArray, int> asked;
    bool stopReading = false;

    explicit FakeHyprland(const QString& dir)
        : requests(dir + QStringLiteral("/.socket.sock")),
          events(dir + QStringLiteral("/.socket2.sock")) {
        requests.onRead = [this](QLocalSocket* s) {
            if (stopReading) return; // a stalled Hyprland: reads nothing, answers nothing
            const QByteArray command = s->readAll();
            ++asked[command];
            s->write(replies.value(command));
            s->flush();
            s->disconnectFromServer();
        };
    }
    // Request connections not yet closed.
    int openConnections() const { return requests.openConnections(); }
    void event(const QByteArray& line) { events.send(line + '\n'); }
    int lists() const { return asked.value("j/clients"); }
};

QByteArray client(const char* address, int ws, QPoint at, QSize size, const char* extra = "") {
    return QStringLiteral(R"({"address":"%1","mapped":true,"hidden":false,"at":[%2,%3],)"
                          R"("size":[%4,%5],"workspace":{"id":%6,"name":"%6"},"floating":false,)"
                          R"("pid":77,"class":"foot","title":"t","focusHistoryID":9%7})")
        .arg(QLatin1String(address))
        .arg(at.x())
        .arg(at.y())
        .arg(size.width())
        .arg(size.height())
        .arg(ws)
        .arg(QLatin1String(extra))
        .toUtf8();
}

// A 2560×1440 monitor at scale 2 (1280×720 logical) showing workspace 1, and a 1920×1080 one
// to its right showing workspace 3.
const QByteArray kMonitors =
    R"([{"id":0,"name":"DP-1","x":0,"y":0,"width":2560,"height":1440,"scale":2.0,"transform":0,)"
    R"("activeWorkspace":{"id":1,"name":"1"},"specialWorkspace":{"id":0,"name":""}},)"
    R"({"id":1,"name":"DP-2","x":1280,"y":0,"width":1920,"height":1080,"scale":1.0,"transform":0,)"
    R"("activeWorkspace":{"id":3,"name":"3"},"specialWorkspace":{"id":0,"name":""}}])";

QByteArray clients(int floatX) {
    return "[" + client("0xt1", 1, {10, 40}, {600, 400}) + "," +
           client("0xf1", 1, {floatX, 100}, {300, 200}, R"(,"floating":true,"focusHistoryID":2)") +
           "," +
           client("0xf2", 1, {300, 150}, {300, 200}, R"(,"floating":true,"focusHistoryID":1)") +
           "," +
           client("0xp1", 1, {50, 50}, {100, 100},
                  R"(,"floating":true,"pinned":true,"focusHistoryID":3)") +
           "," + client("0xh", 2, {0, 0}, {100, 100}) + "," +
           client("0xu", 1, {0, 0}, {100, 100}, R"(,"mapped":false)") + "," +
           client("0xt3", 3, {1280, 0}, {960, 1080}) + "," +
           client("0xfs", 3, {1280, 0}, {1920, 1080}, R"(,"fullscreen":2)") + "]";
}

TEST(HyprlandChannel, ListsShownWindowsFrontMostFirstAndRereadsOnlyOnEvents) {
    QTemporaryDir dir;
    FakeHyprland fake(dir.path());
    fake.replies["j/clients"] = clients(100);
    fake.replies["j/monitors"] = kMonitors;
    fake.replies["j/getoption general:border_size"] = R"({"option":"general:border_size","int":2})";
    fake.replies["j/cursorpos"] = R"({"x":640,"y":360})";

    HyprlandChannel channel(dir.path());
    Heard heard(channel);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 1; }));
    // Fullscreen first (it hides its workspace's tiled window), then pinned, then floating by
    // focus, then tiled; the hidden workspace and the unmapped window left out.
    EXPECT_EQ(keys(heard.got[0]), QStringLiteral("0xfs 0xp1 0xf2 0xf1 0xt1 0xt3(hidden)"));
    EXPECT_EQ(heard.got[0].outputs, QRect(0, 0, 1280 + 1920, 1080));
    EXPECT_EQ(heard.got[0].windows[4].frame, QRect(8, 38, 604, 404)); // the border drawn around it
    EXPECT_EQ(heard.got[0].windows[4].pid, 77);
    EXPECT_EQ(fake.openConnections(), 0);

    // A title says nothing about places; a window opening is answered with one re-read, and
    // floating windows are looked at now and then since dragging them tells no event.
    const int before = fake.lists();
    fake.event("windowtitle>>0xt1");
    fake.event("openwindow>>0xn1,1,foot,t");
    fake.replies["j/clients"] = clients(700);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 2; }));
    EXPECT_EQ(heard.got[1].windows[3].frame.x(), 698);
    EXPECT_TRUE(spinUntil([&] { return fake.lists() >= before + 2; }, 2000));
    EXPECT_EQ(heard.got.size(), 2u); // nothing new: nothing passed on

    // Nobody at the keyboard: after the last look, nothing is asked however long a floating
    // window shows. Input again: a look at once (no timer is left to do it), then the checks.
    channel.userActive(false);
    spinUntil([] { return false; }, 500);
    const int idleFrom = fake.lists();
    spinUntil([] { return false; }, 3 * HyprlandChannel::kFloatingCheckMs);
    EXPECT_EQ(fake.lists(), idleFrom);
    fake.replies["j/clients"] = clients(720);
    channel.userActive(true);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 3; }));
    EXPECT_EQ(heard.got[2].windows[3].frame.x(), 718);
    EXPECT_TRUE(spinUntil([&] { return fake.lists() >= idleFrom + 2; }, 2000));

    // The pointer while wanted, at most once a second.
    std::vector<QPointF> pointer;
    channel.onPointer = [&](QPointF p) { pointer.push_back(p); };
    channel.wantPointer(true);
    spinUntil([] { return false; }, 2300);
    channel.wantPointer(false);
    ASSERT_FALSE(pointer.empty());
    EXPECT_EQ(pointer.front(), QPointF(640, 360));
    EXPECT_LE(fake.asked.value("j/cursorpos"), 3);
    EXPECT_EQ(heard.lost, 0);
    EXPECT_EQ(fake.openConnections(), 0);
}

TEST(HyprlandChannel, SurvivesAStalledServerHostileRepliesAndARestart) {
    QTemporaryDir dir;
    auto fake = std::make_unique<FakeHyprland>(dir.path());
    fake->replies["j/clients"] = "[" + client("0xa", 1, {0, 0}, {10, 10}) + "]";
    fake->replies["j/monitors"] = kMonitors;
    LogLines hyprLines({QStringLiteral("Hyprland")});
    HyprlandChannel channel(dir.path());
    Heard heard(channel);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 1; }));

    // A Hyprland that stops reading: the request gives up in time and its connection is closed.
    fake->stopReading = true;
    fake->event("closewindow>>0xa");
    ASSERT_TRUE(
        spinUntil([&] { return hyprLines.count() == 1; }, HyprlandChannel::kReplyTimeoutMs + 1500));
    ASSERT_TRUE(spinUntil([&] { return fake->openConnections() == 0; }));
    fake->stopReading = false;

    // Malformed lists, an event line of 100 kB: one line until a good list, nothing passed on.
    fake->replies["j/clients"] = R"([{"address":"0xa","at":[0,)";
    fake->event("openwindow>>x");
    fake->event("windowtitle>>" + QByteArray(100 << 10, 'x'));
    spinUntil([] { return false; }, 300);
    EXPECT_EQ(heard.got.size(), 1u);

    // 50,000 clients: read whole, the rest capped downstream.
    QByteArray many = "[";
    for (int i = 0; i < 50000; ++i)
        many += (i ? "," : "") + client(QByteArray("0x" + QByteArray::number(i)).constData(), 1,
                                        {i % 1000, 10}, {50, 50});
    fake->replies["j/clients"] = many + "]";
    fake->event("openwindow>>0xmany");
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 2; }, 20000));
    EXPECT_EQ(heard.got[1].windows.size(), 50000u);
    EXPECT_EQ(hyprLines.count(), 1);

    // Hyprland restarted: the floor once, quiet retries, then the list again.
    fake.reset();
    ASSERT_TRUE(spinUntil([&] { return heard.lost == 1; }));
    spinUntil([] { return false; }, 600);
    fake = std::make_unique<FakeHyprland>(dir.path());
    fake->replies["j/clients"] = "[" + client("0xb", 1, {0, 0}, {10, 10}) + "]";
    fake->replies["j/monitors"] = kMonitors;
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 3; }, 10000));
    EXPECT_EQ(keys(heard.got[2]), QStringLiteral("0xb"));
    EXPECT_EQ(heard.lost, 1);
    EXPECT_EQ(hyprLines.count(), 1);
}

TEST(HyprlandChannel, FindsItsSocketsOnlyUnderAPlainSignature) {
    EXPECT_TRUE(
        HyprlandChannel::instanceDir(QStringLiteral("/run/user/1"), QStringLiteral("../../etc"))
            .isEmpty());
    EXPECT_EQ(HyprlandChannel::instanceDir(QStringLiteral("/run/user/1"), QStringLiteral("abc")),
              QStringLiteral("/run/user/1/hypr/abc"));
}

} // namespace
