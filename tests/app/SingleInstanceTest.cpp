#include "app/SingleInstance.h"

#include "fakes/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct OneInstance : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.path() + "/instance"; }
    QString lock() const { return dir.path() + "/data/purrlox/instance.lock"; }
};

TEST_F(OneInstance, SecondStartHandsItsLinksToTheFirstInOrder) {
    SingleInstance first(path(), lock());
    ASSERT_TRUE(first.claim({}));
    QList<QList<QUrl>> links;
    QObject::connect(&first, &SingleInstance::linksArrived,
                     [&](const QList<QUrl>& urls) { links << urls; });

    SingleInstance second(path(), lock());
    EXPECT_FALSE(second.claim({QUrl("purrlox://one"), QUrl("purrlox://two?x=%20y")}));
    ASSERT_TRUE(waitFor([&] { return !links.isEmpty(); }));
    EXPECT_EQ(links.size(), 1);
    EXPECT_EQ(links.at(0), QList<QUrl>({QUrl("purrlox://one"), QUrl("purrlox://two?x=%20y")}));
}

TEST_F(OneInstance, SecondStartWithoutLinksAsksTheFirstToShowItself) {
    SingleInstance first(path(), lock());
    ASSERT_TRUE(first.claim({}));
    int again = 0, links = 0;
    QObject::connect(&first, &SingleInstance::startedAgain, [&] { ++again; });
    QObject::connect(&first, &SingleInstance::linksArrived, [&] { ++links; });
    SingleInstance second(path(), lock());
    EXPECT_FALSE(second.claim({}));
    ASSERT_TRUE(waitFor([&] { return again == 1; }));
    EXPECT_EQ(links, 0);
}

TEST_F(OneInstance, SocketLeftByACrashedRunIsTakenOver) {
    // A bound socket file whose process is gone: nobody listens on it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray p = path().toLocal8Bit();
    std::copy(p.begin(), p.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    SingleInstance first(path(), lock());
    EXPECT_TRUE(first.claim({}));
    SingleInstance second(path(), lock());
    EXPECT_FALSE(second.claim({}));
}

TEST_F(OneInstance, SocketIsInTheRuntimeFolderAndUserOnly) {
    EXPECT_TRUE(SingleInstance::defaultPath().endsWith("/app.purrlox.Purrlox.instance"));
    EXPECT_TRUE(SingleInstance::defaultLockPath().endsWith("/purrlox/instance.lock"));
    SingleInstance first(path(), lock());
    ASSERT_TRUE(first.claim({}));
    EXPECT_EQ(QFile::permissions(path()) &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
}

TEST_F(OneInstance, ALockThatIsALinkOrAFifoIsNeverFollowedNorWaitedOn) {
    const QString target = dir.path() + "/precious";
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious bytes\n");
    }
    QDir().mkpath(QFileInfo(lock()).absolutePath());
    ASSERT_TRUE(QFile::link(target, lock()));
    // Without the lock the socket still tells a second start that one runs.
    SingleInstance first(path(), lock());
    EXPECT_TRUE(first.claim({}));
    EXPECT_TRUE(first.listening());
    SingleInstance second(path(), lock());
    EXPECT_FALSE(second.claim({}));
    EXPECT_TRUE(second.handedOver());
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "precious bytes\n");
    EXPECT_TRUE(QFileInfo(lock()).isSymLink());

    const QString fifoLock = dir.path() + "/fifo.lock";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoLock).constData(), 0600), 0);
    SingleInstance third(dir.path() + "/other", fifoLock);
    EXPECT_TRUE(third.claim({}));
    SingleInstance fourth(dir.path() + "/other", fifoLock);
    EXPECT_FALSE(fourth.claim({}));
    EXPECT_TRUE(fourth.handedOver());
}

TEST_F(OneInstance, WithoutARuntimeFolderTheSocketGoesWhereOnlyThisUserCanEnter) {
    const QString tmp = dir.path() + "/tmp";
    ASSERT_TRUE(QDir().mkpath(tmp));
    QString made;
    // Missing: made, user-only.
    const QString shared = SingleInstance::runtimeFolder(tmp, &made);
    EXPECT_TRUE(made.isEmpty());
    ASSERT_TRUE(shared.startsWith(tmp + "/runtime-"));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(shared).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(SingleInstance::runtimeFolder(tmp, &made), shared);

    // A link another user planted in its place (to a folder they can read) is not used.
    ASSERT_TRUE(QDir(shared).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/theirs"));
    ASSERT_TRUE(QFile::link(dir.path() + "/theirs", shared));
    const QString own = SingleInstance::runtimeFolder(tmp, &made);
    EXPECT_EQ(own, made);
    ASSERT_FALSE(own.isEmpty());
    EXPECT_NE(own, shared);
    ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(QDir(dir.path() + "/theirs").isEmpty());
}

} // namespace
