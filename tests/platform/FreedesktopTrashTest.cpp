#include "platform/FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A home of its own, so the home trash is a fresh folder.
class FreedesktopTrashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", dir.path().toUtf8());
        // A data folder that does not exist yet, as on a fresh account.
        qputenv("XDG_DATA_HOME", (dir.path() + "/home/.local/share").toUtf8());
        QDir().mkpath(dir.path() + "/work");
    }
    void TearDown() override {
        qputenv("HOME", oldHome);
        if (oldData.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    }
    QString work(const QString& name) const { return dir.path() + "/work/" + name; }
    QString homeTrash() const { return dir.path() + "/home/.local/share/Trash"; }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QString infoOf(const QString& trashed) {
        const QFileInfo i(trashed);
        return QDir::cleanPath(i.absolutePath() + "/../info/" + i.fileName() + ".trashinfo");
    }

    QTemporaryDir dir;
    QByteArray oldHome, oldData;
    FreedesktopTrash trash;
    QString error;
};

TEST_F(FreedesktopTrashTest, OddNamesAndFoldersGoToTheHomeTrashAndComeBack) {
    const QStringList names{"two words.txt", "new\nline.txt", "-rf", "ünïcødé ✨.md"};
    for (const QString& name : names)
        write(work(name), name.toUtf8());
    QDir().mkpath(work("folder/inner"));
    write(work("folder/inner/f.txt"), "deep");

    QStringList trashed;
    for (const QString& name : names + QStringList{"folder"}) {
        const auto where = trash.moveToTrash(work(name), error);
        ASSERT_TRUE(where) << name.toStdString() << ": " << error.toStdString();
        EXPECT_TRUE(where->startsWith(homeTrash() + "/files/"));
        EXPECT_FALSE(QFileInfo::exists(work(name)));
        EXPECT_TRUE(QFileInfo::exists(infoOf(*where)));
        trashed << *where;
    }
    EXPECT_TRUE(
        read(infoOf(trashed[0])).contains("Path=" + QUrl::toPercentEncoding(work(names[0]), "/")))
        << read(infoOf(trashed[0])).toStdString();
    // A newline in a name must not break the record's lines.
    EXPECT_TRUE(read(infoOf(trashed[1])).contains("new%0Aline.txt\nDeletionDate="));

    for (int i = 0; i < trashed.size(); ++i) {
        const QString home = work(i < names.size() ? names[i] : "folder");
        ASSERT_TRUE(trash.putBack(trashed[i], home, error)) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(trashed[i]));
        EXPECT_FALSE(QFileInfo::exists(infoOf(trashed[i])));
    }
    EXPECT_EQ(read(work("new\nline.txt")), "new\nline.txt");
    EXPECT_EQ(read(work("folder/inner/f.txt")), "deep");
}

TEST_F(FreedesktopTrashTest, TheSameNameTwiceKeepsBothCopies) {
    write(work("a.txt"), "first");
    const auto one = trash.moveToTrash(work("a.txt"), error);
    write(work("a.txt"), "second");
    const auto two = trash.moveToTrash(work("a.txt"), error);
    ASSERT_TRUE(one && two);
    EXPECT_NE(*one, *two);
    EXPECT_EQ(read(*one), "first");
    EXPECT_EQ(read(*two), "second");
}

TEST_F(FreedesktopTrashTest, PuttingBackNeverReplacesAndKeepsTheTrashedCopy) {
    write(work("a.txt"), "eaten");
    const auto trashed = trash.moveToTrash(work("a.txt"), error);
    ASSERT_TRUE(trashed);
    write(work("a.txt"), "written since");
    EXPECT_FALSE(trash.putBack(*trashed, work("a.txt"), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read(work("a.txt")), "written since");
    EXPECT_EQ(read(*trashed), "eaten");
    EXPECT_TRUE(QFileInfo::exists(infoOf(*trashed)));

    // A folder in the way counts too.
    QFile::remove(work("a.txt"));
    QDir().mkpath(work("a.txt"));
    EXPECT_FALSE(trash.putBack(*trashed, work("a.txt"), error));
    EXPECT_EQ(read(*trashed), "eaten");
}

TEST_F(FreedesktopTrashTest, AVanishedFolderOrFileIsRefused) {
    QDir().mkpath(work("sub"));
    write(work("sub/a.txt"), "eaten");
    const auto trashed = trash.moveToTrash(work("sub/a.txt"), error);
    ASSERT_TRUE(trashed);
    QDir(work("sub")).removeRecursively();
    EXPECT_FALSE(trash.putBack(*trashed, work("sub/a.txt"), error));
    EXPECT_FALSE(QFileInfo::exists(work("sub")));
    EXPECT_EQ(read(*trashed), "eaten");
    EXPECT_TRUE(QFileInfo::exists(infoOf(*trashed)));

    error.clear();
    EXPECT_FALSE(trash.moveToTrash(work("never-there.txt"), error));
    EXPECT_FALSE(error.isEmpty());
    // A file of the kernel's own cannot be moved anywhere, not even by root.
    EXPECT_FALSE(trash.moveToTrash("/proc/version", error));
    EXPECT_TRUE(QFileInfo::exists("/proc/version"));
    EXPECT_EQ(QDir(homeTrash() + "/info").entryList(QDir::Files).size(), 1)
        << "a failed move leaves no record behind";
}

TEST_F(FreedesktopTrashTest, AFileOnAnotherMountGoesToThatMountsTrash) {
    // /dev/shm is a separate file system on most machines.
    const QStorageInfo shm("/dev/shm");
    struct stat a {
    }, b{};
    if (!shm.isValid() || ::stat("/dev/shm", &a) != 0 ||
        ::stat(QFile::encodeName(dir.path()).constData(), &b) != 0 || a.st_dev == b.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable second file system at /dev/shm";
    QTemporaryDir there("/dev/shm/purrlox-trash-test-XXXXXX");
    write(there.path() + "/m.txt", "on the mount");
    const auto trashed = trash.moveToTrash(there.path() + "/m.txt", error);
    ASSERT_TRUE(trashed) << error.toStdString();
    EXPECT_TRUE(trashed->startsWith(shm.rootPath() + "/.Trash")) << trashed->toStdString();
    EXPECT_FALSE(QFileInfo::exists(homeTrash() + "/files/m.txt"));
    ASSERT_TRUE(trash.putBack(*trashed, there.path() + "/m.txt", error)) << error.toStdString();
    EXPECT_EQ(read(there.path() + "/m.txt"), "on the mount");
    EXPECT_FALSE(QFileInfo::exists(infoOf(*trashed)));
}

} // namespace
