#include "platform/xdg/FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/mount.h>
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

    std::vector<TrashedItem> trashed;
    for (const QString& name : names + QStringList{"folder"}) {
        const auto where = trash.moveToTrash(work(name), error);
        ASSERT_TRUE(where) << name.toStdString() << ": " << error.toStdString();
        EXPECT_TRUE(where->path.startsWith(homeTrash() + "/files/"));
        EXPECT_FALSE(QFileInfo::exists(work(name)));
        EXPECT_TRUE(QFileInfo::exists(infoOf(where->path)));
        trashed.push_back(*where);
    }
    EXPECT_TRUE(read(infoOf(trashed[0].path))
                    .contains("Path=" + QUrl::toPercentEncoding(work(names[0]), "/")))
        << read(infoOf(trashed[0].path)).toStdString();
    // A newline in a name must not break the record's lines.
    EXPECT_TRUE(read(infoOf(trashed[1].path)).contains("new%0Aline.txt\nDeletionDate="));

    for (std::size_t i = 0; i < trashed.size(); ++i) {
        const QString home = work(i < std::size_t(names.size()) ? names[int(i)] : "folder");
        ASSERT_TRUE(trash.putBack(trashed[i], home, error)) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(trashed[i].path));
        EXPECT_FALSE(QFileInfo::exists(infoOf(trashed[i].path)));
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
    EXPECT_NE(one->path, two->path);
    EXPECT_EQ(read(one->path), "first");
    EXPECT_EQ(read(two->path), "second");
}

TEST_F(FreedesktopTrashTest, PuttingBackNeverReplacesAndKeepsTheTrashedCopy) {
    write(work("a.txt"), "eaten");
    const auto trashed = trash.moveToTrash(work("a.txt"), error);
    ASSERT_TRUE(trashed);
    write(work("a.txt"), "written since");
    EXPECT_FALSE(trash.putBack(*trashed, work("a.txt"), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(read(work("a.txt")), "written since");
    EXPECT_EQ(read(trashed->path), "eaten");
    EXPECT_TRUE(QFileInfo::exists(infoOf(trashed->path)));

    // A folder in the way counts too.
    QFile::remove(work("a.txt"));
    QDir().mkpath(work("a.txt"));
    EXPECT_FALSE(trash.putBack(*trashed, work("a.txt"), error));
    EXPECT_EQ(read(trashed->path), "eaten");
}

TEST_F(FreedesktopTrashTest, AVanishedFolderOrFileIsRefused) {
    QDir().mkpath(work("sub"));
    write(work("sub/a.txt"), "eaten");
    const auto trashed = trash.moveToTrash(work("sub/a.txt"), error);
    ASSERT_TRUE(trashed);
    QDir(work("sub")).removeRecursively();
    EXPECT_FALSE(trash.putBack(*trashed, work("sub/a.txt"), error));
    EXPECT_FALSE(QFileInfo::exists(work("sub")));
    EXPECT_EQ(read(trashed->path), "eaten");
    EXPECT_TRUE(QFileInfo::exists(infoOf(trashed->path)));

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
    EXPECT_TRUE(trashed->path.startsWith(shm.rootPath() + "/.Trash"))
        << trashed->path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(homeTrash() + "/files/m.txt"));
    ASSERT_TRUE(trash.putBack(*trashed, there.path() + "/m.txt", error)) << error.toStdString();
    EXPECT_EQ(read(there.path() + "/m.txt"), "on the mount");
    EXPECT_FALSE(QFileInfo::exists(infoOf(trashed->path)));
}

TEST_F(FreedesktopTrashTest, NamesWhoseRecordWouldBeTooLongGoInShortenedAndComeBack) {
    // 255 bytes is the most a name may have; its record would need ten more.
    const QString cyrillic = QString(127, QChar(0x0436)) + "a"; // 2-byte letters, 255 bytes
    QStringList names;
    for (int bytes : {200, 245, 246, 250, 255})
        names << QString(bytes - 4, QLatin1Char('n')) + ".txt";
    names << QString(250, QLatin1Char('x')) << cyrillic;
    names << QString(251, QLatin1Char('n')) + ".md"; // shares its shortened stem with the 255
    std::vector<TrashedItem> trashed;
    for (const QString& name : names) {
        write(work(name), name.toUtf8());
        const auto where = trash.moveToTrash(work(name), error);
        ASSERT_TRUE(where) << name.size() << ": " << error.toStdString();
        trashed.push_back(*where);
        const QByteArray inTrash = QFile::encodeName(QFileInfo(where->path).fileName());
        EXPECT_LE(inTrash.size() + 10, 255) << "the record's name must fit";
        EXPECT_TRUE(QString::fromUtf8(inTrash).toUtf8() == inTrash) << "cut inside a character";
        if (name.toUtf8().size() <= 245) {
            EXPECT_EQ(QFileInfo(where->path).fileName(), name);
        }
        // The record keeps the whole former path.
        EXPECT_TRUE(read(infoOf(where->path))
                        .contains("Path=" + QUrl::toPercentEncoding(work(name), "/") + "\n"))
            << name.size();
    }
    for (std::size_t i = 0; i < trashed.size(); ++i)
        for (std::size_t j = i + 1; j < trashed.size(); ++j)
            EXPECT_NE(trashed[i].path, trashed[j].path);
    for (std::size_t i = 0; i < trashed.size(); ++i) {
        ASSERT_TRUE(trash.putBack(trashed[i], work(names[int(i)]), error)) << error.toStdString();
        EXPECT_EQ(read(work(names[int(i)])), names[int(i)].toUtf8());
    }
    EXPECT_TRUE(QDir(homeTrash() + "/info").entryList(QDir::Files).isEmpty());
}

TEST_F(FreedesktopTrashTest, PuttingBackMovesOnlyTheFileThatWentIn) {
    write(work("mine.txt"), "mine");
    const auto trashed = trash.moveToTrash(work("mine.txt"), error);
    ASSERT_TRUE(trashed);
    // Something else now lies where the trash put it.
    write(work("planted"), "planted");
    ASSERT_EQ(::rename(QFile::encodeName(work("planted")).constData(),
                       QFile::encodeName(trashed->path).constData()),
              0);
    EXPECT_FALSE(trash.putBack(*trashed, work("mine.txt"), error));
    EXPECT_TRUE(error.contains("taken its place")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work("mine.txt")));
    EXPECT_EQ(read(trashed->path), "planted");
}

// A tmpfs of its own, world-writable and sticky like a shared /tmp. Needs root.
class MountTrashTest : public FreedesktopTrashTest {
  protected:
    void SetUp() override {
        FreedesktopTrashTest::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
        ASSERT_TRUE(top.isValid());
        if (::mount("purrlox-test", top.path().toUtf8().constData(), "tmpfs", 0,
                    "size=4m,mode=1777") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted) ::umount2(top.path().toUtf8().constData(), MNT_DETACH);
        FreedesktopTrashTest::TearDown();
    }
    QString on(const QString& name) const { return top.path() + "/" + name; }
    static void folder(const QString& path, mode_t mode, uid_t owner) {
        ASSERT_TRUE(QDir().mkpath(path));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner, owner), 0);
    }
    // A new file on the mount goes to the trash: where it went, or "" with the reason in error.
    QString eat(const QString& name) {
        write(on(name), "the user's work");
        const auto where = trash.moveToTrash(on(name), error);
        return where ? where->path : QString();
    }
    static constexpr uid_t other = 4242;
    const QString uid = QString::number(::getuid());
    QTemporaryDir top;
    bool mounted = false;
};

TEST_F(MountTrashTest, FoldersAnotherUserControlsAreNeverUsed) {
    // Another user's .Trash-$uid, open to all: the file stays.
    folder(on(".Trash-" + uid), 0777, other);
    EXPECT_EQ(eat("a.txt"), "");
    EXPECT_TRUE(error.contains("belongs to another user")) << error.toStdString();
    EXPECT_EQ(read(on("a.txt")), "the user's work");
    EXPECT_TRUE(QDir(on(".Trash-" + uid)).isEmpty());

    // Our own, but open to others.
    ASSERT_EQ(::chown(QFile::encodeName(on(".Trash-" + uid)).constData(), ::getuid(), 0), 0);
    EXPECT_EQ(eat("b.txt"), "");
    EXPECT_TRUE(error.contains("open to other users")) << error.toStdString();

    // A link to a folder of ours.
    QDir(on(".Trash-" + uid)).removeRecursively();
    folder(on("elsewhere"), 0700, ::getuid());
    ASSERT_TRUE(QFile::link(on("elsewhere"), on(".Trash-" + uid)));
    EXPECT_EQ(eat("c.txt"), "");
    EXPECT_TRUE(error.contains("link")) << error.toStdString();
    EXPECT_TRUE(QDir(on("elsewhere")).isEmpty());

    // A .Trash that is a link to another user's sticky folder, with a planted $uid inside:
    // passed over, and with no usable .Trash-$uid the file stays.
    folder(on("theirs"), 01777, other);
    folder(on("theirs/" + uid), 0700, ::getuid());
    ASSERT_TRUE(QFile::link(on("theirs"), on(".Trash")));
    EXPECT_EQ(eat("d.txt"), "");
    EXPECT_TRUE(QDir(on("theirs/" + uid)).isEmpty());
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        EXPECT_TRUE(QFileInfo::exists(on(name))) << name;

    // A read-only disk says so.
    ASSERT_EQ(::mount(nullptr, QFile::encodeName(top.path()).constData(), nullptr,
                      MS_REMOUNT | MS_RDONLY, nullptr),
              0);
    const auto where = trash.moveToTrash(on("d.txt"), error);
    EXPECT_FALSE(where);
    EXPECT_EQ(error, "the disk is read-only");
}

TEST_F(MountTrashTest, TheRightFoldersAreUsedAndCheckedAgainOnPutBack) {
    // No trash yet: .Trash-$uid is made, closed to others.
    const QString first = eat("a.txt");
    ASSERT_TRUE(first.startsWith(on(".Trash-" + uid + "/files/"))) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(on(".Trash-" + uid)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The record names the file relative to the disk's top.
    EXPECT_TRUE(read(infoOf(first)).contains("\nPath=a.txt\n")) << read(infoOf(first)).data();

    // An administrator's sticky .Trash is preferred, its $uid folder made for us.
    folder(on(".Trash"), 01777, 0);
    const QString second = eat("b.txt");
    EXPECT_TRUE(second.startsWith(on(".Trash/" + uid + "/files/"))) << error.toStdString();
    // Not sticky: passed over.
    ASSERT_EQ(::chmod(QFile::encodeName(on(".Trash")).constData(), 0777), 0);
    EXPECT_TRUE(eat("c.txt").startsWith(on(".Trash-" + uid + "/files/")));
    ASSERT_EQ(::chmod(QFile::encodeName(on(".Trash")).constData(), 01777), 0);

    // Put back checks the folders again: one opened to others since is left alone.
    TrashedItem item{first, 0, 0};
    ASSERT_EQ(::lstat(QFile::encodeName(first).constData(), &st), 0);
    item.device = st.st_dev;
    item.inode = st.st_ino;
    ASSERT_EQ(::chmod(QFile::encodeName(on(".Trash-" + uid)).constData(), 0777), 0);
    EXPECT_FALSE(trash.putBack(item, on("a.txt"), error));
    EXPECT_FALSE(QFileInfo::exists(on("a.txt")));
    ASSERT_EQ(::chmod(QFile::encodeName(on(".Trash-" + uid)).constData(), 0700), 0);
    EXPECT_TRUE(trash.putBack(item, on("a.txt"), error)) << error.toStdString();
    EXPECT_EQ(read(on("a.txt")), "the user's work");
}

} // namespace
