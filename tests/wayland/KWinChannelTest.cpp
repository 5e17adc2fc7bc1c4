#include "platform/wayland/KWinChannel.h"

#include "platform/wayland/KWinWindows.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

// The channel against a stand-in for KWin's scripting interface on a private bus: what the
// headless kwin_wayland of the end-to-end test cannot be made to do (leave the bus and come
// back, receive pushes from strangers and hostile text).

namespace {

// KWin 5.27's scripting objects: /Scripting loads, /<id> runs.
class FakeScripting : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")
  public:
    int loads = 0;
    int unloads = 0;
    QString script; // the text of the last script loaded
  public Q_SLOTS:
    int loadScript(const QString& path, const QString&) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) script = QString::fromUtf8(f.readAll());
        return ++loads;
    }
    bool unloadScript(const QString&) {
        ++unloads;
        return true;
    }
};

class FakeScript : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")
  public:
    int runs = 0;
  public Q_SLOTS:
    void run() { ++runs; }
};

class KWinChannelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bus_.setProgram(QStringLiteral("dbus-daemon"));
        bus_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1"),
                           QStringLiteral("--address=unix:tmpdir=/tmp")});
        bus_.start();
        ASSERT_TRUE(bus_.waitForReadyRead(5000)) << "dbus-daemon did not start";
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        purrlox_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address_, QStringLiteral("purrlox")));
        ASSERT_TRUE(purrlox_->isConnected());
    }
    void TearDown() override {
        channel.reset();
        for (const QString& name : {QStringLiteral("purrlox"), QStringLiteral("kwin"),
                                    QStringLiteral("kwin2"), QStringLiteral("stranger")})
            QDBusConnection::disconnectFromBus(name);
        bus_.kill();
        bus_.waitForFinished();
    }

    // KWin on the bus under the connection NAME; a loaded script runs from /<id> on 5.27 and
    // from /Scripting/Script<id> on KWin 6.
    QDBusConnection startKWin(const QString& name, bool plasma6 = false) {
        QDBusConnection kwin = QDBusConnection::connectToBus(address_, name);
        kwin.registerObject(QStringLiteral("/Scripting"), &scripting,
                            QDBusConnection::ExportAllSlots);
        for (int id = 1; id <= 4; ++id)
            kwin.registerObject(plasma6 ? QStringLiteral("/Scripting/Script%1").arg(id)
                                        : QStringLiteral("/%1").arg(id),
                                &script, QDBusConnection::ExportAllSlots);
        EXPECT_TRUE(kwin.registerService(QStringLiteral("org.kde.KWin")));
        return kwin;
    }

    void startChannel() {
        channel = std::make_unique<KWinChannel>(*purrlox_);
        channel->onWindows = [this](CompositorWindows w) { lists.push_back(std::move(w)); };
        channel->onLost = [this](const QString& why) { lost.push_back(why); };
        channel->onPointer = [this](QPointF p) { pointers.push_back(p); };
        channel->start();
    }

    // Calls the channel's object from CONNECTION, as the script's callDBus does.
    static void push(QDBusConnection connection, const QString& service, const QString& method,
                     const QString& text) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(service, QString::fromLatin1(KWinChannel::kObjectPath),
                                           QStringLiteral("app.purrlox.Purrlox.KWin"), method);
        m << text;
        connection.call(m, QDBus::BlockWithGui, 2000);
    }

    template <typename F> static bool waitUntil(F done) {
        const QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    QString service() const { return purrlox_->baseService(); }

    QProcess bus_;
    QString address_;
    std::unique_ptr<QDBusConnection> purrlox_;
    FakeScripting scripting;
    FakeScript script;
    std::unique_ptr<KWinChannel> channel;
    std::vector<CompositorWindows> lists;
    std::vector<QString> lost;
    std::vector<QPointF> pointers;
};

const QString kTwoWindows = QStringLiteral(
    R"({"outputs":[0,0,1280,800],"windows":[)"
    R"({"id":"{a}","frame":[400,300,742,427],"pid":7,"kind":"normal","minimized":false,"onDesktop":true,"opacity":1},)"
    R"({"id":"{b}","frame":[60.4,120.6,364,134],"pid":8,"kind":"dock","minimized":true,"onDesktop":true,"opacity":0.4}]})");

TEST_F(KWinChannelTest, LoadsItsScriptAndTakesKWinsListsOnly) {
    QDBusConnection kwin = startKWin(QStringLiteral("kwin"));
    startChannel();
    ASSERT_TRUE(waitUntil([&] { return script.runs == 1; })) << "the script never ran";
    // The 5.27 path was found after the KWin 6 one failed; a stale script went first.
    EXPECT_EQ(scripting.loads, 1);
    EXPECT_GE(scripting.unloads, 1);
    EXPECT_TRUE(scripting.script.contains(QStringLiteral("service: \"%1\"").arg(service())));
    EXPECT_TRUE(scripting.script.contains(
        QStringLiteral("pid: %1").arg(QCoreApplication::applicationPid())));
    EXPECT_TRUE(lost.empty());

    push(kwin, service(), QStringLiteral("windows"), kTwoWindows);
    ASSERT_TRUE(waitUntil([&] { return lists.size() == 1; }));
    const CompositorWindows& got = lists.back();
    EXPECT_EQ(got.outputs, QRect(0, 0, 1280, 800));
    ASSERT_EQ(got.windows.size(), 2u);
    EXPECT_EQ(got.windows[0].key, QStringLiteral("{a}"));
    EXPECT_EQ(got.windows[0].frame, QRect(400, 300, 742, 427));
    EXPECT_EQ(got.windows[0].layer, 0);
    EXPECT_TRUE(got.windows[0].onScreen);
    EXPECT_EQ(got.windows[0].pid, 7);
    EXPECT_FALSE(got.windows[0].opacity);
    // Fractional frames (scaled outputs) keep their edges: 60.4..424.4 -> 60..424.
    EXPECT_EQ(got.windows[1].frame, QRect(60, 121, 364, 134));
    EXPECT_EQ(got.windows[1].layer, 20);
    EXPECT_FALSE(got.windows[1].onScreen);
    EXPECT_DOUBLE_EQ(got.windows[1].opacity.value_or(1), 0.4);

    push(kwin, service(), QStringLiteral("pointer"), QStringLiteral("[12, 34]"));
    ASSERT_TRUE(waitUntil([&] { return pointers.size() == 1; }));
    EXPECT_EQ(pointers.back(), QPointF(12, 34));

    // Another peer on the bus pushing lists or pointers is not KWin.
    QDBusConnection stranger = QDBusConnection::connectToBus(address_, QStringLiteral("stranger"));
    push(stranger, service(), QStringLiteral("windows"),
         QStringLiteral(R"({"outputs":[0,0,1280,800],"windows":[]})"));
    push(stranger, service(), QStringLiteral("pointer"), QStringLiteral("[1, 1]"));
    // Hostile text from KWin itself: not JSON, the wrong shape, too large, odd numbers.
    for (const QString& bad :
         {QStringLiteral("{"), QStringLiteral("[]"), QStringLiteral(R"({"windows":[]})"),
          QStringLiteral(R"({"outputs":[0,0,"a",1],"windows":[]})"),
          QStringLiteral(R"({"outputs":[0,0,1280,800],"windows":{}})"),
          QStringLiteral(R"({"outputs":[0,0,1280,800],"windows":[%1]})")
              .arg(QString(KWinWindows::kMaxBytes, u' '))})
        push(kwin, service(), QStringLiteral("windows"), bad);
    for (const QString& bad : {QStringLiteral("[1]"), QStringLiteral("[1e308, 1e308]"),
                               QStringLiteral("[\"1\", 2]"), QStringLiteral("{}")})
        push(kwin, service(), QStringLiteral("pointer"), bad);
    // Windows with the wrong types come without an id, which the list leaves out.
    push(kwin, service(), QStringLiteral("windows"),
         QStringLiteral(R"({"outputs":[0,0,1280,800],"windows":[)"
                        R"({"id":5,"frame":[0,0,10,10]},{"id":"x","frame":[0,0,10]},)"
                        R"({"id":"y","frame":[0,0,1e300,10]},7,)"
                        R"({"id":"z","frame":[1,2,3,4],"pid":-3,"opacity":"0"}]})"));
    ASSERT_TRUE(waitUntil([&] { return lists.size() == 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(lists.size(), 2u) << "a stranger's or a hostile list was taken";
    EXPECT_EQ(pointers.size(), 1u) << "a stranger's or a hostile pointer was taken";
    const CompositorWindows& odd = lists.back();
    ASSERT_EQ(odd.windows.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(odd.windows[std::size_t(i)].key.isEmpty()) << i;
    EXPECT_EQ(odd.windows[4].key, QStringLiteral("z"));
    EXPECT_FALSE(odd.windows[4].pid);
    EXPECT_FALSE(odd.windows[4].opacity);
}

TEST_F(KWinChannelTest, KWinLeavingIsLostAndItsReturnLoadsTheScriptAgain) {
    startChannel();
    // No KWin yet: the floor, and the script loads once KWin comes.
    ASSERT_TRUE(waitUntil([&] { return lost.size() == 1; }));
    EXPECT_EQ(lost.back(), QStringLiteral("KWin is not on the session bus"));
    {
        QDBusConnection kwin = startKWin(QStringLiteral("kwin"));
        ASSERT_TRUE(waitUntil([&] { return script.runs == 1; }));
        push(kwin, service(), QStringLiteral("windows"), kTwoWindows);
        ASSERT_TRUE(waitUntil([&] { return lists.size() == 1; }));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
    ASSERT_TRUE(waitUntil([&] { return lost.size() == 2; }));
    EXPECT_EQ(lost.back(), QStringLiteral("KWin left the session bus"));

    // A new KWin (a KWin 6 this time): a new connection, a new load; the old one's name no
    // longer counts.
    QDBusConnection kwin2 = startKWin(QStringLiteral("kwin2"), true);
    ASSERT_TRUE(waitUntil([&] { return script.runs == 2; }));
    EXPECT_EQ(scripting.loads, 2);
    push(kwin2, service(), QStringLiteral("windows"), kTwoWindows);
    ASSERT_TRUE(waitUntil([&] { return lists.size() == 2; }));
    EXPECT_EQ(lost.size(), 2u);

    // Quitting unloads the script from KWin (the stand-in answers once the loop runs again).
    const int unloadsBefore = scripting.unloads;
    channel.reset();
    ASSERT_TRUE(waitUntil([&] { return scripting.unloads > unloadsBefore; }));
}

} // namespace

#include "KWinChannelTest.moc"
