#include "platform/linux/CameraWatch.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs the event loop until the watcher's count is n, or a second has passed.
int settle(const CameraWatch& w, int n) {
    QDeadlineTimer deadline(1000);
    while (w.openCount() != n && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return w.openCount();
}

} // namespace

// A /dev with one camera and a /proc of three processes: one of them holds the camera, one has
// an fd folder that cannot be read, one ended while being looked at.
TEST(CameraWatchTest, ScansOnceThenFollowsOpensAndClosesAndNewCameras) {
    QTemporaryDir root;
    const QString dev = root.path() + "/dev", proc = root.path() + "/proc";
    ASSERT_TRUE(QDir().mkpath(dev));
    QFile camera(dev + "/video0");
    ASSERT_TRUE(camera.open(QIODevice::WriteOnly));
    camera.close();
    ASSERT_TRUE(QDir().mkpath(proc + "/100/fd"));
    ASSERT_TRUE(QFile::link(dev + "/video0", proc + "/100/fd/7"));
    ASSERT_TRUE(QFile::link(dev + "/null", proc + "/100/fd/8"));
    ASSERT_TRUE(QDir().mkpath(proc + "/200"));  // no fd folder: it vanished
    ASSERT_TRUE(QDir().mkpath(proc + "/self")); // not a process number

    CameraWatch watch(dev, proc);
    EXPECT_EQ(watch.openCount(), 1);
    EXPECT_TRUE(watch.inUse());

    // Another program opens the camera, then both close it.
    QFile other(dev + "/video0");
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(settle(watch, 2), 2);
    other.close();
    EXPECT_EQ(settle(watch, 1), 1);
    QFile::remove(proc + "/100/fd/7");
    QFile holder(dev + "/video0");
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    holder.close();
    EXPECT_EQ(settle(watch, 1), 1);

    // A camera plugged in later is watched as it appears. Closes never go below zero.
    QFile plugged(dev + "/video1");
    ASSERT_TRUE(plugged.open(QIODevice::WriteOnly));
    plugged.close();
    QDeadlineTimer pump(100); // the watcher sees the new node appear
    while (!pump.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QFile use(dev + "/video1");
    const int before = watch.openCount();
    ASSERT_TRUE(use.open(QIODevice::ReadOnly));
    EXPECT_EQ(settle(watch, before + 1), before + 1);
    use.close();
    EXPECT_EQ(settle(watch, before), before);
}

TEST(CameraWatchTest, ProcessesOfOtherUsersDoNotCount) {
    QTemporaryDir root;
    const QString dev = root.path() + "/dev", proc = root.path() + "/proc";
    ASSERT_TRUE(QDir().mkpath(dev));
    QFile camera(dev + "/video0");
    ASSERT_TRUE(camera.open(QIODevice::WriteOnly));
    camera.close();
    ASSERT_TRUE(QDir().mkpath(proc + "/100/fd"));
    ASSERT_TRUE(QFile::link(dev + "/video0", proc + "/100/fd/7"));
    CameraWatch watch(dev, proc, ::getuid() + 1);
    EXPECT_FALSE(watch.inUse());

    // No /dev and no /proc at all: nothing in use, nothing breaks.
    CameraWatch nowhere(root.path() + "/none", root.path() + "/none");
    EXPECT_FALSE(nowhere.inUse());
}

// The engine hears of the camera only when it goes on or off, not of every open and close.
TEST(CameraWatchTest, TellsWhenTheCameraGoesOnOrOff) {
    QTemporaryDir root;
    const QString dev = root.path() + "/dev", proc = root.path() + "/proc";
    ASSERT_TRUE(QDir().mkpath(dev) && QDir().mkpath(proc));
    QFile node(dev + "/video0");
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    node.close();
    CameraWatch watch(dev, proc);
    int told = 0;
    watch.changed = [&] { ++told; };
    QFile a(dev + "/video0"), b(dev + "/video0");
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    EXPECT_EQ(settle(watch, 1), 1);
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(settle(watch, 2), 2);
    b.close();
    EXPECT_EQ(settle(watch, 1), 1);
    EXPECT_EQ(told, 1);
    a.close();
    EXPECT_EQ(settle(watch, 0), 0);
    EXPECT_EQ(told, 2);
}
