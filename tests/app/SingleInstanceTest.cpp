#include "app/SingleInstance.h"

#include "Wait.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
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

} // namespace
