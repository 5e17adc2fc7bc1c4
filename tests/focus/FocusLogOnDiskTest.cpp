// The focus log and the file it lives in: a file changed behind the app's back, a file that is
// there but cannot be read at start, a disk that is full for a while, saves off the main thread.
#include "FocusTestSupport.h"
#include "fakes/Fakes.h"
#include "fakes/FullDisk.h"
#include "fakes/LogCapture.h"
#include "fakes/NoFreeFiles.h"
#include "fakes/Wait.h"
#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSemaphore>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QStringList activitiesIn(const QByteArray& bytes) {
    QStringList out;
    for (const QJsonValue& v : QJsonDocument::fromJson(bytes).array())
        out << v.toObject().value("activity").toString();
    return out;
}

QStringList activitiesOf(const QList<FocusLog::Stretch>& stretches) {
    QStringList out;
    for (const FocusLog::Stretch& s : stretches)
        out << s.activity;
    return out;
}

struct FocusLogOnDisk : ::testing::Test {
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 7, 10)};

    // A stopped work period of a minute on the activity, and its save finished (as the
    // automation's booking answers once it is).
    static void book(FocusLog& log, FakeClock& clock, const QString& activity) {
        finishOnly(log, clock, activity);
        log.flush();
    }
    static void finishOnly(FocusLog& log, FakeClock& clock, const QString& activity) {
        log.setCurrent(stretch(clock.now(), 0, false, activity));
        log.count(60);
        log.finish(false);
        clock.advance(120);
    }
    QString path() { return defaults->dataPath("focusLog"); }
};

TEST_F(FocusLogOnDisk, ALogReplacedWhileTheAppRunsKeepsBothHistories) {
    FocusLog app(*defaults, clock);
    book(app, clock, "A1");

    // Another writer (a second start, a sync tool) adds B1 to the file behind the app's back.
    auto other = defaults.reopened();
    {
        FocusLog elsewhere(*other, clock);
        book(elsewhere, clock, "B1");
    }
    book(app, clock, "A2");
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"A1", "B1", "A2"}));
    EXPECT_EQ(activitiesOf(app.stretches()), QStringList({"A1", "B1", "A2"}));

    // A backup restored over it wins over what the app remembered; the new stretch joins it.
    const QByteArray backup =
        R"([{"activity":"Old","start":818000000,"sitting":818000000,"planned":1500,)"
        R"("seconds":1500,"completed":true}])";
    QFile::remove(path());
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(backup);
    }
    book(app, clock, "A3");
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"Old", "A3"}));
    EXPECT_EQ(FocusLog(*defaults.reopened(), clock).stretches(), app.stretches());
}

TEST_F(FocusLogOnDisk, AReadErrorAtStartLeavesTheLogAndTheSettingsInPlaceAndUntouched) {
    {
        FocusLog before(*defaults, clock);
        before.setGoalMinutes(90);
        book(before, clock, "Ten years");
        book(before, clock, "of focus");
    }
    const QByteArray log = fileBytes(path());
    const QByteArray settings = fileBytes(defaults->settingsPath());

    // Too many open files stands in for EIO or a stale NFS handle.
    auto store = defaults.reopened();
    std::unique_ptr<FocusLog> app;
    {
        NoFreeFiles full;
        ASSERT_TRUE(full.exhausted());
        app = std::make_unique<FocusLog>(*store, clock);
    }
    EXPECT_TRUE(app->stretches().isEmpty());
    book(*app, clock, "After");
    app->setGoalMinutes(30);

    EXPECT_EQ(fileBytes(path()), log);
    EXPECT_EQ(fileBytes(defaults->settingsPath()), settings);
    const QDir folder(QFileInfo(path()).absolutePath());
    EXPECT_EQ(folder.entryList({"*.unreadable-*"}, QDir::Files), QStringList());
    // The next start, with the file readable again, finds everything.
    FocusLog later(*defaults.reopened(), clock);
    EXPECT_EQ(activitiesOf(later.stretches()), QStringList({"Ten years", "of focus"}));
    EXPECT_EQ(later.goalMinutes(), 90);
}

TEST_F(FocusLogOnDisk, StretchesWhoseSavesHitAFullDiskAreWrittenOnceThereIsSpace) {
    const int pause = SaveRetry::firstPauseMs;
    SaveRetry::firstPauseMs = 20;
    LogCapture logs;
    FocusLog app(*defaults, clock);
    book(app, clock, "A1");
    {
        FullDisk full;
        book(app, clock, "A2");
        book(app, clock, "A3");
        EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"A1"}));
        EXPECT_EQ(app.unsavedCount(), 2);
        // The timer keeps trying while the disk stays full.
        QThread::msleep(100);
        QCoreApplication::processEvents();
        EXPECT_EQ(app.unsavedCount(), 2);
    }
    // Space is back: the timer writes them, with no other stretch finishing.
    EXPECT_TRUE(waitFor([&] { return app.unsavedCount() == 0; }, 5000));
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"A1", "A2", "A3"}));
    EXPECT_EQ(logs.messages().filter("could not be saved").size(), 1)
        << logs.messages().join('\n').toStdString();
    EXPECT_EQ(logs.messages().filter("saved again").size(), 1);

    // Space runs out and comes back just before the app quits: the quit path writes it.
    {
        FullDisk full;
        book(app, clock, "A4");
    }
    EXPECT_TRUE(app.flush());
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"A1", "A2", "A3", "A4"}));
    EXPECT_EQ(FocusLog(*defaults.reopened(), clock).stretches(), app.stretches());
    SaveRetry::firstPauseMs = pause;
}

// The file is written on a thread of its own, from a copy: the main thread goes on while it
// waits, and what is finished meanwhile follows in the next save.
namespace held {
QSemaphore gate;
std::atomic<bool> onMainThread{false};
std::atomic<bool> timedOut{false};
std::atomic<int> writes{0};
void beforeRename() {
    ++writes;
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) onMainThread = true;
    if (!gate.tryAcquire(1, 3000)) timedOut = true;
}
} // namespace held

TEST_F(FocusLogOnDisk, SavesRunOffTheMainThreadAndWhatIsFinishedMeanwhileFollows) {
    book(*std::make_unique<FocusLog>(*defaults, clock), clock, "stored");
    FocusLog app(*defaults, clock);
    AtomicFile::beforeRename = &held::beforeRename;
    finishOnly(app, clock, "one");
    ASSERT_TRUE(waitFor([] { return held::writes == 1; }));
    // The save waits just before it publishes the file; the main thread finishes two more.
    finishOnly(app, clock, "two");
    finishOnly(app, clock, "three");
    QCoreApplication::processEvents();
    EXPECT_EQ(held::writes, 1);
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"stored"}));
    EXPECT_EQ(activitiesOf(app.stretches()), QStringList({"stored", "one", "two", "three"}));
    held::gate.release(10);
    EXPECT_TRUE(app.flush());
    AtomicFile::beforeRename = nullptr;
    EXPECT_FALSE(held::onMainThread);
    EXPECT_FALSE(held::timedOut);
    EXPECT_EQ(held::writes, 2); // the two finished meanwhile went out together
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"stored", "one", "two", "three"}));
    EXPECT_EQ(app.unsavedCount(), 0);
}

// Large logs decode off the main thread; here every log counts as large.
struct LargeLog : FocusLogOnDisk {
    qsizetype saved = FocusLog::backgroundBytes;
    void SetUp() override {
        FocusLog before(*defaults, clock);
        for (const char* a : {"one", "two", "three"})
            book(before, clock, a);
        FocusLog::backgroundBytes = 0;
    }
    void TearDown() override { FocusLog::backgroundBytes = saved; }
};

TEST_F(LargeLog, LoadsInTheBackgroundAndKeepsWhatIsFinishedMeanwhile) {
    FocusLog app(*defaults, clock);
    int changes = 0;
    QObject::connect(&app, &FocusLog::stretchesChanged, [&] { ++changes; });
    EXPECT_TRUE(app.loading());
    EXPECT_TRUE(app.stretches().isEmpty());
    QDeadlineTimer deadline(5000);
    while (app.loading() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_FALSE(app.loading());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(activitiesOf(app.stretches()), QStringList({"one", "two", "three"}));
    EXPECT_EQ(app.day(clock.now(), 5).seconds, 180);
}

TEST_F(LargeLog, AStretchFinishedBeforeTheLogIsInIsSavedAfterTheStoredOnes) {
    // The app quits (or a period ends) right after start: the save waits for the stored log.
    FocusLog app(*defaults, clock);
    book(app, clock, "four");
    EXPECT_FALSE(app.loading());
    EXPECT_EQ(activitiesIn(fileBytes(path())), QStringList({"one", "two", "three", "four"}));
    EXPECT_EQ(activitiesOf(app.stretches()), QStringList({"one", "two", "three", "four"}));
    // The loading thread's late answer changes nothing.
    QCoreApplication::processEvents();
    EXPECT_EQ(app.stretches().size(), 4);
}

} // namespace
