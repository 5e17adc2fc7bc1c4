// The focus log and the file it lives in: a file changed behind the app's back, and a file
// that is there but cannot be read at start.
#include "FocusTestSupport.h"
#include "fakes/Fakes.h"
#include "fakes/NoFreeFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

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
    TempDefaults defaults;
    FakeClock clock{local(2026, 12, 7, 10)};

    // A stopped work period of a minute on the activity.
    static void book(FocusLog& log, FakeClock& clock, const QString& activity) {
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
