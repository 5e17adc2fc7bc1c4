#include "fakes/Fakes.h"
#include "fakes/FullDisk.h"
#include "fakes/NoFreeFiles.h"
#include "fakes/Wait.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/StoredArray.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList asideFiles(const QString& path) {
    const QFileInfo info(path);
    return info.dir().entryList({info.fileName() + ".unreadable-*"}, QDir::Files);
}

} // namespace

TEST(SettingsStore, TypedValuesSurviveARestartAndKindsDoNotMix) {
    TempSettingsStore d;
    EXPECT_TRUE(d->setInteger("pomodoroWorkMinutes", 50));
    EXPECT_TRUE(d->setBoolean("catLivesInBed", true));
    EXPECT_TRUE(d->setText("pomodoroActivity", "Écrire ✍️"));
    EXPECT_TRUE(d->setTextList("languages", {"ru"}));
    EXPECT_TRUE(d->setReal("x", 0.25));
    const QDateTime when(QDate(2026, 3, 29), QTime(2, 30, 0, 500), QTimeZone::utc());
    EXPECT_TRUE(d->setDate("focusReportedAt", when));

    auto again = d.reopened();
    EXPECT_EQ(again->integer("pomodoroWorkMinutes"), 50);
    EXPECT_EQ(again->boolean("catLivesInBed"), true);
    EXPECT_EQ(again->text("pomodoroActivity"), QString("Écrire ✍️"));
    EXPECT_EQ(again->textList("languages"), QStringList{"ru"});
    EXPECT_EQ(again->date("focusReportedAt")->toMSecsSinceEpoch(), when.toMSecsSinceEpoch());
    // A fractional number is a real, not an integer; a number is not a text.
    EXPECT_FALSE(again->integer("x").has_value());
    EXPECT_FALSE(again->text("pomodoroWorkMinutes").has_value());
    EXPECT_FALSE(again->boolean("missing").has_value());

    again->remove("catLivesInBed");
    EXPECT_FALSE(d.reopened()->contains("catLivesInBed"));
}

TEST(SettingsStore, DatesAreSecondsSince2001) {
    TempSettingsStore d;
    d->setDate("t", QDateTime(QDate(2001, 1, 2), QTime(0, 0), QTimeZone::utc()));
    EXPECT_DOUBLE_EQ(*d->real("t"), 86400.0);
}

TEST(SettingsStore, UnreadableSettingsAreKeptAsideAndNeverOverwritten) {
    TempSettingsStore d;
    const QByteArray garbage = "{\"pomodoroWorkMinutes\": 25,,, oops";
    writeFile(d->settingsPath(), garbage);

    EXPECT_FALSE(d->contains("pomodoroWorkMinutes")); // starts empty
    EXPECT_TRUE(d->setInteger("focusGoalMinutes", 90));

    const QStringList aside = asideFiles(d->settingsPath());
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QFileInfo(d->settingsPath()).dir().filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), garbage);
    EXPECT_EQ(d.reopened()->integer("focusGoalMinutes"), 90);
}

TEST(SettingsStore, JsonThatIsNotAnObjectCountsAsUnreadable) {
    TempSettingsStore d;
    writeFile(d->settingsPath(), "[1, 2, 3]");
    EXPECT_FALSE(d->contains("anything"));
    EXPECT_EQ(asideFiles(d->settingsPath()).size(), 1);
}

TEST(SettingsStore, DataValuesAreTheirOwnFilesAndCanBeKeptAside) {
    TempSettingsStore d;
    EXPECT_FALSE(d->data("focusLog").has_value());
    EXPECT_TRUE(d->setData("focusLog", "[]"));
    EXPECT_TRUE(d->dataPath("focusLog").endsWith("/purrlox/focusLog.json"));
    EXPECT_EQ(d.reopened()->data("focusLog"), QByteArray("[]"));

    // Two kept-aside copies in the same second get distinct names; neither is lost.
    const QString first = d->keepAsideData("focusLog");
    d->setData("focusLog", "[1]");
    const QString second = d->keepAsideData("focusLog");
    EXPECT_FALSE(first.isEmpty());
    EXPECT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(asideFiles(d->dataPath("focusLog")).size(), 2);
    EXPECT_FALSE(d->data("focusLog").has_value());
    EXPECT_TRUE(d->keepAsideData("focusLog").isEmpty()); // nothing left to move
}

TEST(SettingsStore, AWriteLeavesNoTemporaryFilesBehind) {
    TempSettingsStore d;
    for (int i = 0; i < 3; ++i)
        d->setInteger("n", i);
    const QStringList files = QFileInfo(d->settingsPath()).dir().entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{"settings.json"});
}

namespace {

struct CapturedLog {
    static inline QStringList lines;
    static void handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
        if (QByteArray(ctx.category) == "app.purrlox.Purrlox.app")
            lines << QString::number(int(type)) + ":" + msg;
    }
    CapturedLog() {
        lines.clear();
        previous = qInstallMessageHandler(&handler);
    }
    ~CapturedLog() { qInstallMessageHandler(previous); }
    QtMessageHandler previous;
};

} // namespace

TEST(SettingsStore, AnUnreadableFileCostsExactlyOneErrorLine) {
    TempSettingsStore d;
    writeFile(d->settingsPath(), "not json");
    CapturedLog log;
    d->integer("a");
    d->setInteger("a", 1);
    d->integer("a");
    ASSERT_EQ(CapturedLog::lines.size(), 1);
    EXPECT_TRUE(CapturedLog::lines.first().startsWith(QString::number(QtWarningMsg) + ":"));
    EXPECT_TRUE(CapturedLog::lines.first().contains("unreadable"));
}

TEST(DefaultsDeathTest, AWriteThatDiesBeforeItsRenameLeavesThePreviousFile) {
    TempSettingsStore d;
    ASSERT_TRUE(d->setData("reminders", "[\"old\"]"));
    EXPECT_EXIT(
        {
            AtomicFile::beforeRename = [] { std::_Exit(3); };
            d->setData("reminders", "[\"new\"]");
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(d.reopened()->data("reminders"), QByteArray("[\"old\"]"));
}

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(SettingsStore, SettingsChangedOnDiskAreMergedNeverOverwritten) {
    TempSettingsStore d;
    ASSERT_TRUE(d->setInteger("pomodoroWorkMinutes", 50));
    // Another writer sets its own value and changes one of ours meanwhile.
    auto other = d.reopened();
    ASSERT_TRUE(other->setInteger("focusGoalMinutes", 90));
    ASSERT_TRUE(other->setText("pomodoroActivity", "Piano"));
    ASSERT_TRUE(d->setBoolean("catLivesInBed", true));
    auto again = d.reopened();
    EXPECT_EQ(again->integer("pomodoroWorkMinutes"), 50);
    EXPECT_EQ(again->integer("focusGoalMinutes"), 90);
    EXPECT_EQ(again->text("pomodoroActivity"), QString("Piano"));
    EXPECT_EQ(again->boolean("catLivesInBed"), true);
    // Reads after the merge see the other writer's values too.
    EXPECT_EQ(d->integer("focusGoalMinutes"), 90);
}

TEST(SettingsStore, DataChangedOnDiskIsNeverWrittenOver) {
    TempSettingsStore d;
    EXPECT_EQ(d->readData("reminders").status, SettingsStore::DataRead::Status::absent);
    EXPECT_EQ(d->writeData("reminders", "[1]"), SettingsStore::DataWrite::written);
    ASSERT_TRUE(d.reopened()->setData("reminders", "[1,2]"));
    EXPECT_EQ(d->writeData("reminders", "[1,3]"), SettingsStore::DataWrite::changedOnDisk);
    EXPECT_EQ(d->data("reminders"), QByteArray("[1,2]"));
    // Once the owner has read what is there, it may write again.
    EXPECT_EQ(d->readData("reminders").bytes, QByteArray("[1,2]"));
    EXPECT_EQ(d->writeData("reminders", "[1,2,3]"), SettingsStore::DataWrite::written);
    // A file that is gone loses nothing by being written.
    QFile::remove(d->dataPath("reminders"));
    EXPECT_EQ(d->writeData("reminders", "[4]"), SettingsStore::DataWrite::written);
}

TEST(SettingsStore, AReadErrorAtStartLeavesTheFilesInPlaceAndFrozen) {
    TempSettingsStore d;
    ASSERT_TRUE(d->setInteger("pomodoroWorkMinutes", 50));
    ASSERT_TRUE(d->setText("languages", "ru"));
    ASSERT_TRUE(d->setData("focusLog", "[]"));
    const QByteArray settings = bytesOf(d->settingsPath());

    auto store = d.reopened();
    SettingsStore::DataRead log;
    {
        NoFreeFiles full; // too many open files, standing in for EIO or a stale NFS handle
        ASSERT_TRUE(full.exhausted());
        EXPECT_FALSE(store->integer("pomodoroWorkMinutes").has_value());
        log = store->readData("focusLog");
    }
    EXPECT_EQ(log.status, SettingsStore::DataRead::Status::failed);
    EXPECT_FALSE(store->setInteger("focusGoalMinutes", 30));
    EXPECT_EQ(store->writeData("focusLog", "[1]"), SettingsStore::DataWrite::refused);

    EXPECT_EQ(bytesOf(d->settingsPath()), settings);
    EXPECT_EQ(bytesOf(d->dataPath("focusLog")), QByteArray("[]"));
    EXPECT_TRUE(asideFiles(d->settingsPath()).isEmpty());
    EXPECT_TRUE(asideFiles(d->dataPath("focusLog")).isEmpty());
}

namespace {

struct SyncedFolders {
    static inline QStringList folders;
    static void record(const QString& folder) { folders << folder; }
    SyncedFolders() {
        folders.clear();
        AtomicFile::folderSynced = &record;
    }
    ~SyncedFolders() { AtomicFile::folderSynced = nullptr; }
};

} // namespace

TEST(SettingsStore, ASaveIsDurableWithItsFolderAndEveryFolderItCreated) {
    TempSettingsStore d;
    SyncedFolders synced;
    ASSERT_TRUE(d->setData("focusLog", "[]"));
    const QString data = QFileInfo(d->dataPath("focusLog")).absolutePath(); // <tmp>/data/purrlox
    const QString tmp = d.dir.path();
    // The new folders in their parents first, then the rename in its folder.
    EXPECT_EQ(SyncedFolders::folders, QStringList({tmp, tmp + "/data", data}));
    SyncedFolders::folders.clear();
    ASSERT_TRUE(d->setInteger("n", 1));
    ASSERT_TRUE(d->setInteger("n", 2));
    EXPECT_EQ(SyncedFolders::folders, QStringList({tmp, tmp + "/config", tmp + "/config/purrlox",
                                                   tmp + "/config/purrlox"}));
    EXPECT_EQ(QFile::permissions(data) & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
}

TEST(SettingsStore, OnlyRegularFilesAreReadAndWhatElseStandsInAStoresPlaceStaysAsItIs) {
    TempSettingsStore d;
    QDir().mkpath(QFileInfo(d->settingsPath()).absolutePath());
    QDir().mkpath(d->dataFolder());
    // A FIFO would keep open() waiting for a writer for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(d->settingsPath()).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(d->dataFolder() + "/fifo").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(d->dataFolder() + "/fifo", d->dataPath("focusLog")));
    ASSERT_TRUE(QDir().mkdir(d->dataPath("reminders")));

    EXPECT_FALSE(d->contains("pomodoroWorkMinutes"));
    EXPECT_FALSE(d->setInteger("pomodoroWorkMinutes", 50)); // kept in memory only
    EXPECT_EQ(d->integer("pomodoroWorkMinutes"), 50);
    const SettingsStore::DataRead log = d->readData("focusLog");
    EXPECT_EQ(log.status, SettingsStore::DataRead::Status::failed);
    EXPECT_EQ(log.error, "a FIFO");
    EXPECT_EQ(d->readData("reminders").status, SettingsStore::DataRead::Status::failed);
    EXPECT_EQ(d->writeData("focusLog", "[]"), SettingsStore::DataWrite::refused);
    EXPECT_EQ(d->writeData("reminders", "[]"), SettingsStore::DataWrite::refused);

    EXPECT_EQ(QFileInfo(d->settingsPath()).isFile(), false);
    EXPECT_TRUE(QFileInfo(d->dataPath("focusLog")).isSymLink());
    EXPECT_TRUE(QFileInfo(d->dataPath("reminders")).isDir());
    EXPECT_TRUE(asideFiles(d->settingsPath()).isEmpty());
}

TEST(SettingsStore, AStoreKeptAsALinkToARegularFileIsReadAndWrittenThroughIt) {
    // The way dotfile managers keep settings in a repository of their own.
    TempSettingsStore d;
    const QString repo = d.dir.path() + "/dotfiles/settings.json";
    writeFile(repo, R"({"pomodoroWorkMinutes": 40})");
    QDir().mkpath(QFileInfo(d->settingsPath()).absolutePath());
    ASSERT_TRUE(QFile::link(repo, d->settingsPath()));

    EXPECT_EQ(d->integer("pomodoroWorkMinutes"), 40);
    EXPECT_TRUE(d->setInteger("pomodoroBreakMinutes", 10));
    EXPECT_TRUE(QFileInfo(d->settingsPath()).isSymLink());
    EXPECT_EQ(d.reopened()->integer("pomodoroBreakMinutes"), 10);
    EXPECT_TRUE(bytesOf(repo).contains("pomodoroBreakMinutes"));
}

TEST(SettingsStore, SettingsAWriteFailedForAreKeptAndWrittenWhenThereIsSpace) {
    const int pause = SaveRetry::firstPauseMs;
    SaveRetry::firstPauseMs = 20;
    TempSettingsStore d;
    ASSERT_TRUE(d->setInteger("pomodoroWorkMinutes", 50));
    {
        FullDisk full;
        EXPECT_FALSE(d->setText("pomodoroActivity", "a long enough name to pass the limit"));
        EXPECT_EQ(d->text("pomodoroActivity"), QString("a long enough name to pass the limit"));
        EXPECT_FALSE(d.reopened()->contains("pomodoroActivity"));
    }
    // No further setter: the timer writes it.
    EXPECT_TRUE(waitFor([&] { return d.reopened()->contains("pomodoroActivity"); }, 5000));
    {
        FullDisk full;
        EXPECT_FALSE(d->setInteger("pomodoroWorkMinutes", 45));
    }
    EXPECT_TRUE(d->flush()); // the quit path
    EXPECT_EQ(d.reopened()->integer("pomodoroWorkMinutes"), 45);
    SaveRetry::firstPauseMs = pause;
}

TEST(SettingsStore, StoresPastTheSizeCapAreKeptAsideUnreadWithOneLineEach) {
    TempSettingsStore d;
    const qint64 huge = qint64(300) << 20;
    // Sparse: a bracket, then nothing; reading them whole would take 300 MB each.
    for (const QString& path : {d->settingsPath(), d->dataPath("focusLog")}) {
        writeFile(path, "[");
        ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), huge), 0);
    }
    CapturedLog log;
    EXPECT_FALSE(d->integer("a").has_value());
    StoredArray focusLog(*d, "focusLog", {"the focus log", "frozen", "changed"}, [] {});
    EXPECT_FALSE(focusLog.load().has_value());
    ASSERT_EQ(CapturedLog::lines.size(), 2) << CapturedLog::lines.join('\n').toStdString();
    for (const QString& line : CapturedLog::lines)
        EXPECT_TRUE(line.contains("300 MB, more than the 256 MB a store may hold"))
            << line.toStdString();
    for (const QString& path : {d->settingsPath(), d->dataPath("focusLog")}) {
        const QStringList aside = asideFiles(path);
        ASSERT_EQ(aside.size(), 1) << path.toStdString();
        EXPECT_EQ(QFileInfo(QFileInfo(path).dir().filePath(aside[0])).size(), huge);
    }
    // New stores take their place.
    EXPECT_TRUE(d->setInteger("a", 1));
    EXPECT_TRUE(d->setData("focusLog", "[]"));
    EXPECT_EQ(d.reopened()->integer("a"), 1);
    EXPECT_EQ(d->data("focusLog"), QByteArray("[]"));
}

TEST(SettingsStore, AWriteCutShortByAFullDiskSaysWhy) {
    TempSettingsStore d;
    QString error;
    {
        FullDisk full(64);
        EXPECT_FALSE(
            AtomicFile::write(d->dataPath("focusLog"), QByteArray(100000, 'x'), nullptr, &error));
    }
    EXPECT_EQ(error, FileError::text(EFBIG));
    EXPECT_EQ(FileError::text(ENOSPC), "no space left on the disk");
    EXPECT_FALSE(QFileInfo::exists(d->dataPath("focusLog")));
}
