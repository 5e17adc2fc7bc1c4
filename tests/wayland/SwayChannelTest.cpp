#include "platform/wayland/SwayChannel.h"

#include "wayland/FakeIpcServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray frame(quint32 type, const QByteArray& payload, quint32 size) {
    QByteArray m("i3-ipc");
    m.append(reinterpret_cast<const char*>(&size), 4);
    m.append(reinterpret_cast<const char*>(&type), 4);
    return m + payload;
}
QByteArray frame(quint32 type, const QByteArray& payload) {
    return frame(type, payload, quint32(payload.size()));
}

// Log lines that mention sway or its socket.
const QStringList kSwayWords{QStringLiteral("sway"), QStringLiteral("SWAYSOCK")};

// sway's IPC as far as the channel uses it: answers get_tree with whatever the test holds.
struct FakeSway {
    FakeIpcServer server;
    QByteArray treeReply; // the whole reply, framing included
    int treeAsks = 0;
    bool subscribed = false;

    explicit FakeSway(const QString& path) : server(path) {
        server.onRead = [this](QLocalSocket* c) {
            while (c->bytesAvailable() >= 14) {
                char h[14];
                c->peek(h, 14);
                quint32 size, type;
                std::memcpy(&size, h + 6, 4);
                std::memcpy(&type, h + 10, 4);
                if (c->bytesAvailable() < 14 + qint64(size)) return;
                c->skip(14 + size);
                if (type == 2) {
                    subscribed = true;
                    c->write(frame(2, R"({"success":true})"));
                } else if (type == 4) {
                    ++treeAsks;
                    c->write(treeReply);
                }
            }
        };
    }
    void event(quint32 type, const QByteArray& json) {
        server.send(frame(0x80000000u | type, json));
    }
};

QByteArray view(int id, QRect r, int deco, const char* extra = "") {
    return QStringLiteral(R"({"id":%1,"type":"con","app_id":"foot","pid":4%1,"nodes":[],)"
                          R"("floating_nodes":[],"rect":{"x":%2,"y":%3,"width":%4,"height":%5},)"
                          R"("deco_rect":{"x":0,"y":0,"width":%4,"height":%6}%7})")
        .arg(id)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(deco)
        .arg(QString::fromLatin1(extra))
        .toUtf8();
}

// One output showing workspace "1"; "2" hidden; a scratchpad window that must not show.
QByteArray tree(const QByteArray& tiled, const QByteArray& floating) {
    return R"({"id":1,"type":"root","rect":{"x":0,"y":0,"width":1280,"height":720},"nodes":[)"
           R"({"id":2,"type":"output","name":"__i3","rect":{"x":0,"y":0,"width":1280,"height":720},)"
           R"("nodes":[{"id":3,"type":"workspace","name":"__i3_scratch","nodes":[],"floating_nodes":[)" +
           view(30, QRect(5, 5, 50, 50), 0) +
           R"(]}]},{"id":4,"type":"output","name":"HEADLESS-1","current_workspace":"1",)"
           R"("rect":{"x":0,"y":0,"width":1280,"height":720},"nodes":[)"
           R"({"id":5,"type":"workspace","name":"1","layout":"splith","nodes":[)" +
           tiled + R"(],"floating_nodes":[)" + floating +
           R"(]},{"id":6,"type":"workspace","name":"2","nodes":[)" +
           view(20, QRect(0, 0, 9, 9), 0) + R"(],"floating_nodes":[]}]}]})";
}

TEST(SwayChannel, ListsTheShownWorkspaceInStackingOrderAtTheTopsSwayDraws) {
    const QByteArray tiled =
        view(10, QRect(0, 24, 640, 696), 24) + "," +
        R"({"id":13,"type":"con","layout":"stacked","nodes":[)" +
        view(14, QRect(640, 48, 640, 672), 24) + "," +
        view(15, QRect(640, 48, 640, 672), 24, R"(,"visible":false)") +
        R"(],"floating_nodes":[],"rect":{"x":640,"y":0,"width":640,"height":720}})";
    const QByteArray floating =
        view(11, QRect(100, 130, 300, 200), 30) + "," + view(12, QRect(200, 230, 300, 200), 30);
    QString why;
    std::optional<CompositorWindows> list =
        SwayChannel::windowsFromTree(tree(tiled, floating), &why);
    ASSERT_TRUE(list) << why.toStdString();
    EXPECT_EQ(list->outputs, QRect(0, 0, 1280, 720));
    // Floating above tiled, the last floating one on top; a hidden tab listed but not shown.
    EXPECT_EQ(keys(*list).split(u' ').mid(0, 2).join(u' '), QStringLiteral("12 11"));
    EXPECT_TRUE(keys(*list).contains(QLatin1String("15(hidden)")));
    EXPECT_EQ(list->windows.size(), 5u);
    EXPECT_EQ(list->windows[0].frame, QRect(200, 200, 300, 230)); // the title bar included
    EXPECT_EQ(list->windows[0].pid, 412);
    // Tiled windows' tops are where the title bars begin; children of a two-high stack sit
    // below both titles.
    for (const CompositorWindow& w : list->windows) {
        if (w.key == QLatin1String("10") || w.key == QLatin1String("14")) {
            EXPECT_EQ(w.frame.top(), 0) << w.key.toStdString();
        }
    }

    // A fullscreen window comes first and hides the rest of its workspace.
    list = SwayChannel::windowsFromTree(
        tree(view(10, QRect(0, 0, 1280, 720), 0, R"(,"fullscreen_mode":1)"), floating), &why);
    ASSERT_TRUE(list);
    EXPECT_EQ(keys(*list), QStringLiteral("10 12(hidden) 11(hidden)"));
}

TEST(SwayChannel, SurvivesHostileRepliesAndComesBackAfterTheSocketCloses) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sway-ipc.sock"));
    auto fake = std::make_unique<FakeSway>(path);
    const QByteArray good = tree(view(10, QRect(0, 24, 640, 696), 24), "");
    fake->treeReply = frame(4, good);

    LogLines swayLines(kSwayWords);
    SwayChannel channel(path);
    Heard heard(channel);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 1; }));
    EXPECT_TRUE(fake->subscribed);
    EXPECT_EQ(keys(heard.got[0]), QStringLiteral("10"));

    // A title change moves nothing: no question asked. A move is answered with one re-read.
    const QByteArray floating =
        tree(view(10, QRect(0, 24, 640, 696), 24), view(11, QRect(100, 130, 300, 200), 30));
    fake->treeReply = frame(4, floating);
    fake->event(3, R"({"change":"title","container":{}})");
    fake->event(3, R"({"change":"move","container":{}})");
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 2; }));
    EXPECT_EQ(fake->treeAsks, 2);

    // sway tells nothing when a floating window moves: while one shows, the tree is checked
    // now and then, and only a change is passed on.
    EXPECT_TRUE(spinUntil([&] { return fake->treeAsks >= 4; }, 2000));
    EXPECT_EQ(heard.got.size(), 2u);
    fake->treeReply = frame(
        4, tree(view(10, QRect(0, 24, 640, 696), 24), view(11, QRect(500, 130, 300, 200), 30)));
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 3; }, 2000));
    EXPECT_EQ(heard.got[2].windows[0].frame.x(), 500);
    // Tiled windows alone: nothing asked while nothing changes.
    fake->treeReply = frame(4, good);
    fake->event(3, R"({"change":"floating","container":{}})");
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 4; }));
    const int quietAsks = fake->treeAsks;
    spinUntil([] { return false; }, 3 * SwayChannel::kFloatingCheckMs);
    EXPECT_EQ(fake->treeAsks, quietAsks);

    // Truncated JSON, a tree nested 100,000 deep, a length past any real tree, an empty reply:
    // nothing listed from them, one log line, the channel still up.
    const QByteArray deep = QByteArray(R"({"nodes":[)").repeated(100000);
    for (const QByteArray& reply :
         {frame(4, good.left(good.size() / 2)), frame(4, deep), frame(4, {}),
          frame(4, QByteArray(SwayChannel::kMaxPayload + 1, 'x'))}) {
        fake->treeReply = reply;
        const int asks = fake->treeAsks;
        fake->event(1, R"({"change":"focus"})");
        ASSERT_TRUE(spinUntil([&] { return fake->treeAsks == asks + 1; }));
    }
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(heard.got.size(), 4u);
    EXPECT_EQ(swayLines.count(), 1);
    EXPECT_EQ(heard.lost, 0);

    // 50,000 windows: read whole, front-most first (the list caps what the engine sees).
    QByteArray many;
    for (int i = 0; i < 50000; ++i)
        many += (i ? "," : "") + view(100 + i, QRect(i % 1000, 100, 40, 40), 0);
    fake->treeReply = frame(4, tree("", many));
    fake->event(3, R"({"change":"new"})");
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 5; }, 20000));
    ASSERT_EQ(heard.got[4].windows.size(), 50000u);
    EXPECT_EQ(heard.got[4].windows.front().key, QStringLiteral("50099"));

    // Out of step with the framing: the socket is dropped (floor) and opened again.
    fake->treeReply = frame(4, good);
    fake->server.send("not-ipc-at-all");
    ASSERT_TRUE(spinUntil([&] { return heard.lost == 1 && heard.got.size() == 6; }));
    EXPECT_EQ(keys(heard.got[5]), QStringLiteral("10"));

    // sway restarted: the socket goes, the floor; retries stay quiet until it is back.
    fake.reset();
    ASSERT_TRUE(spinUntil([&] { return heard.lost == 2; }));
    QThread::msleep(600); // two quiet retries at least
    QCoreApplication::processEvents();
    const int linesBefore = swayLines.count();
    fake = std::make_unique<FakeSway>(path);
    fake->treeReply = frame(4, good);
    ASSERT_TRUE(spinUntil([&] { return heard.got.size() == 7; }, 10000));
    EXPECT_EQ(heard.lost, 2);
    EXPECT_EQ(swayLines.count(), linesBefore);
}

TEST(SwayChannel, RefusesASocketPathThatIsNotASocketOrNotTheUsers) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain"));
    QFile(file).open(QIODevice::WriteOnly);
    std::vector<QString> paths{file};

    // A socket someone else made (testable only where this process may give files away).
    const QString foreign = dir.filePath(QStringLiteral("foreign.sock"));
    if (::getuid() == 0) {
        QLocalServer s;
        ASSERT_TRUE(s.listen(foreign));
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        s.setParent(nullptr);
        s.close(); // removes the file: make a lasting one by hand
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, QFile::encodeName(foreign).constData(), sizeof a.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::listen(fd, 1), 0);
        ASSERT_EQ(::chown(a.sun_path, 65534, 65534), 0);
        paths.push_back(foreign);
    }
    LogLines swayLines(kSwayWords);
    for (const QString& path : paths) {
        swayLines.reset();
        SwayChannel channel(path);
        int calls = 0;
        channel.onWindows = [&](CompositorWindows) { ++calls; };
        channel.onLost = [&](const QString&) { ++calls; };
        channel.start();
        spinUntil([] { return false; }, 700);
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(swayLines.count(), 1) << path.toStdString();
    }
}

} // namespace
