#include "platform/wayland/GnomeShellChannel.h"

#include "fakes/Fakes.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kPath = QStringLiteral("/app/purrlox/Shell/Windows");
const QString kInterface = QStringLiteral("app.purrlox.Shell.Windows");

// A stand-in GNOME Shell on a private bus: it owns org.gnome.Shell, says the extension is
// enabled, and answers GetWindows with whatever list it holds.
class FakeShell final : public QDBusVirtualObject {
  public:
    QString list;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
        if (m.member() == QLatin1String("GetExtensionInfo"))
            bus.send(m.createReply(
                QVariant::fromValue(QVariantMap{{QStringLiteral("state"), QVariant(1.0)}})));
        else if (m.member() == QLatin1String("GetWindows"))
            bus.send(m.createReply(list));
        else
            return false;
        return true;
    }
};

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QString windowJson(int x) {
    return QStringLiteral(R"({"version":1,"workspace":0,"outputs":[[0,0,1280,800]],"windows":[)"
                          R"({"id":"7","x":%1,"y":100,"width":300,"height":200,"type":"normal",)"
                          R"("shown":true,"pid":4242}]})")
        .arg(x);
}

void emitFrom(QDBusConnection& bus, const QVariant& payload) {
    QDBusMessage s =
        QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("WindowsChanged"));
    s << payload;
    bus.send(s);
}

} // namespace

// Window lists reach the cat only from the unique name that owns org.gnome.Shell, and only when
// they are lists: another peer's push, a malformed or an oversized one are ignored and the last
// good list stands; the Shell leaving the bus is a lost channel.
TEST(GnomeShellChannel, TakesListsOnlyFromTheShellAndOnlyWellFormed) {
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000)) GTEST_SKIP() << "dbus-daemon is not installed";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

    QDBusConnection shell = QDBusConnection::connectToBus(address, QStringLiteral("shell"));
    QDBusConnection stranger = QDBusConnection::connectToBus(address, QStringLiteral("stranger"));
    QDBusConnection app = QDBusConnection::connectToBus(address, QStringLiteral("app"));
    ASSERT_TRUE(shell.isConnected() && stranger.isConnected() && app.isConnected());
    FakeShell fake;
    fake.list = windowJson(10);
    ASSERT_TRUE(shell.registerVirtualObject(QStringLiteral("/"), &fake, QDBusConnection::SubPath));
    ASSERT_TRUE(shell.registerService(QStringLiteral("org.gnome.Shell")));

    FakeInputIdle xidle;
    std::vector<CompositorWindows> got;
    QStringList lost;
    {
        GnomeShellChannel channel(xidle, app);
        channel.onWindows = [&](CompositorWindows l) { got.push_back(std::move(l)); };
        channel.onLost = [&](const QString& why) { lost << why; };
        channel.start();

        // The list asked for at start.
        ASSERT_TRUE(waitFor([&] { return got.size() == 1; }));
        ASSERT_EQ(got[0].windows.size(), 1u);
        EXPECT_EQ(got[0].windows[0].frame, QRect(10, 100, 300, 200));
        EXPECT_EQ(got[0].windows[0].pid, 4242);
        EXPECT_EQ(got[0].outputs, QRect(0, 0, 1280, 800));

        // A peer that is not the Shell, then hostile or broken lists from the Shell itself.
        emitFrom(stranger, windowJson(999));
        emitFrom(shell, QStringLiteral("{\"windows\": 3"));
        emitFrom(shell, QStringLiteral("[1, 2, 3]"));
        emitFrom(shell, 42);
        emitFrom(shell, QString(GnomeShellChannel::kMaxBytes + 1, u' ') + windowJson(999));
        emitFrom(shell, windowJson(20)); // the one good list, last
        ASSERT_TRUE(waitFor([&] { return got.size() >= 2; }));
        waitFor([] { return false; }, 200); // anything sent after it would have come by now
        ASSERT_EQ(got.size(), 2u) << "only the Shell's well-formed list is taken";
        EXPECT_EQ(got[1].windows[0].frame.x(), 20);
        EXPECT_TRUE(lost.isEmpty());

        // Our own panels are left out of the list.
        QString own = windowJson(30);
        own.replace(QStringLiteral("4242"), QString::number(QCoreApplication::applicationPid()));
        emitFrom(shell, own);
        ASSERT_TRUE(waitFor([&] { return got.size() == 3; }));
        EXPECT_TRUE(got[2].windows.empty());

        // The Shell goes away: the channel is lost, once.
        shell.unregisterService(QStringLiteral("org.gnome.Shell"));
        ASSERT_TRUE(waitFor([&] { return !lost.isEmpty(); }));
        waitFor([] { return false; }, 200);
        EXPECT_EQ(lost.size(), 1);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("shell"));
    QDBusConnection::disconnectFromBus(QStringLiteral("stranger"));
    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    daemon.kill();
    daemon.waitForFinished();
}
