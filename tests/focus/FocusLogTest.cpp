#include "FocusTestSupport.h"
#include "fakes/Fakes.h"
#include "strings/Strings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

struct FocusLogTest : ::testing::Test {
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 7, 10)};
    std::unique_ptr<FocusLog> log = std::make_unique<FocusLog>(*defaults, clock);
    QStringList cheers;

    void SetUp() override {
        log->onCheer = [this](const QString& t) { cheers << t; };
    }
    void open(double planned, QDateTime sitting = {}) {
        FocusLog::Stretch s = stretch(clock.now(), 0, false, "Work", sitting);
        s.planned = planned;
        log->setCurrent(s);
    }
    void finishAfter(double seconds, bool natural, double planned = 1500) {
        open(planned);
        log->count(seconds);
        log->finish(natural);
    }
    QJsonArray stored() {
        log->flush();
        return QJsonDocument::fromJson(defaults->data("focusLog").value_or("")).array();
    }
};

TEST_F(FocusLogTest, NaturalFinishForgivesUpToFiveSeconds) {
    finishAfter(1496, true);
    finishAfter(1494, true);
    ASSERT_EQ(log->stretches().size(), 2);
    EXPECT_TRUE(log->stretches()[0].completed);
    EXPECT_DOUBLE_EQ(log->stretches()[0].seconds, 1500);
    EXPECT_FALSE(log->stretches()[1].completed);
    EXPECT_DOUBLE_EQ(log->stretches()[1].seconds, 1494);
}

TEST_F(FocusLogTest, StoppedStretchIsNeverCompletedAndSubSecondOnesAreDropped) {
    finishAfter(1500, false);
    finishAfter(0.6, false);
    finishAfter(1, false);
    ASSERT_EQ(log->stretches().size(), 2);
    EXPECT_FALSE(log->stretches()[0].completed);
    EXPECT_DOUBLE_EQ(log->stretches()[1].seconds, 1);
    EXPECT_FALSE(log->current().has_value());
    log->finish(true); // nothing open: nothing happens
    EXPECT_EQ(log->stretches().size(), 2);
}

TEST_F(FocusLogTest, StoresExactlyTheSixKeysAndReloads) {
    const QDateTime sitting = local(2026, 12, 7, 9, 59, 30);
    FocusLog::Stretch s = stretch(clock.now(), 0, false, "Reading", sitting);
    log->setCurrent(s);
    log->count(1500);
    log->finish(true);
    const QJsonArray array = stored();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject o = array[0].toObject();
    EXPECT_EQ(o.keys(),
              (QStringList{"activity", "completed", "planned", "seconds", "sitting", "start"}));
    // 2026-12-07 10:00 CET is 09:00 UTC.
    EXPECT_DOUBLE_EQ(o["start"].toDouble(), 818326800.0);
    EXPECT_DOUBLE_EQ(o["sitting"].toDouble() + 30, o["start"].toDouble());
    EXPECT_EQ(o["completed"], QJsonValue(true));

    FocusLog again(*defaults, clock);
    EXPECT_EQ(again.stretches(), log->stretches());
}

TEST_F(FocusLogTest, UnreadableLogIsKeptAsideAndTheLogStartsEmpty) {
    log.reset();
    // Every element needs all six keys: "completed" is missing here.
    const QByteArray broken = R"([{"activity":"A","start":1,"sitting":1,"planned":1,"seconds":1}])";
    ASSERT_TRUE(defaults->setData("focusLog", broken));
    log = std::make_unique<FocusLog>(*defaults, clock);
    EXPECT_TRUE(log->stretches().isEmpty());
    const QDir dir(QFileInfo(defaults->dataPath("focusLog")).absolutePath());
    const QStringList aside = dir.entryList({"focusLog.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), broken);
    // The next save writes a fresh log beside the kept one.
    finishAfter(60, false);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(FocusLogTest, GoalCheerFiresOnceWhenTodaysTotalCrossesIt) {
    log->setGoalMinutes(30);
    log->setCurrent(stretch(local(2026, 12, 7, 8), 1500, true)); // earlier today
    log->finish(false);
    open(1500);
    log->count(299);
    EXPECT_TRUE(cheers.isEmpty());
    log->count(1);
    log->count(1);
    EXPECT_EQ(cheers, QStringList{S().dailyGoalReached()});
}

TEST_F(FocusLogTest, GoalIsStoredAsAnIntegerAndReadBack) {
    log->setGoalMinutes(90);
    EXPECT_EQ(defaults->integer("focusGoalMinutes"), 90);
    EXPECT_EQ(FocusLog(*defaults, clock).goalMinutes(), 90);
    defaults->setText("focusGoalMinutes", "lots");
    EXPECT_EQ(FocusLog(*defaults, clock).goalMinutes(), 120);
}

TEST_F(FocusLogTest, RunCheerCountsCompletedStretchesOfTheSameSitting) {
    const QDateTime sitting = clock.now();
    for (int i = 0; i < 3; ++i) {
        open(1500, sitting);
        log->count(1500);
        log->finish(true);
    }
    EXPECT_EQ(cheers, (QStringList{S().pomodorosInARow(2), S().pomodorosInARow(3)}));
    EXPECT_EQ(FocusLog::trailingRun(log->stretches()), 3);
    open(1500, sitting);
    log->count(100);
    log->finish(false);
    EXPECT_EQ(FocusLog::trailingRun(log->stretches()), 0);
    EXPECT_EQ(FocusLog::trailingRun({}), 0);
}

TEST_F(FocusLogTest, EndSittingBanksRoundedMinutesWithNoBreakSpaces) {
    const QDateTime sitting = clock.now();
    open(3600, sitting);
    log->count(3930); // 65.5 minutes round up to 66
    log->finish(false);
    log->endSitting(local(2026, 12, 7, 8)); // another sitting: nothing banked
    EXPECT_TRUE(cheers.isEmpty());
    log->endSitting(sitting);
    EXPECT_EQ(cheers, QStringList{S().addedToBank(nbsp(S().duration(66)))});
    EXPECT_TRUE(cheers[0].contains(QChar(0x00A0)));
}

TEST_F(FocusLogTest, CanonicalReusesTheStoredCaseAndRecentListsNewestFirst) {
    for (const char* name : {"Reading", "Code", "Reading", "Mail"}) {
        log->setCurrent(stretch(clock.now(), 0, false, name));
        log->count(100);
        log->finish(false);
    }
    EXPECT_EQ(log->canonical("  reading \n"), "Reading");
    EXPECT_EQ(log->canonical("   "), FocusLog::defaultActivity());
    EXPECT_EQ(log->canonical(" Piano "), "Piano");
    EXPECT_EQ(log->recent(2), (QStringList{"Mail", "Reading"}));
    EXPECT_EQ(log->recent(10), (QStringList{"Mail", "Reading", "Code"}));
}

TEST(ScratchFocusLog, KeepsStretchesInMemoryAndSendsNoReports) {
    FakeClock clock(local(2026, 12, 7, 22));
    FocusLog log(clock, {});
    EXPECT_FALSE(log.persists());
    EXPECT_FALSE(log.reportTimerActive());
    int letters = 0;
    log.onReport = [&](const Letter&) { ++letters; };
    log.setCurrent(stretch(clock.now().addSecs(-3600), 1500, false));
    log.finish(false);
    log.checkReport();
    EXPECT_EQ(log.stretches().size(), 1);
    EXPECT_EQ(letters, 0);
}

} // namespace

namespace {

TEST_F(FocusLogTest, SavingAppendsToTheLoadedLogAsOneCompactDocument) {
    log.reset();
    const QByteArray before = R"([
      {"activity": "A", "start": 818320000, "sitting": 818320000, "planned": 1500,
       "seconds": 1500, "completed": true},
      {"activity": "B \"quoted\"", "start": 818322000.25, "sitting": 818322000.25,
       "planned": 1500, "seconds": 12.5, "completed": false}
    ])";
    defaults->setData("focusLog", before);
    log = std::make_unique<FocusLog>(*defaults, clock);
    ASSERT_EQ(log->stretches().size(), 2);
    finishAfter(61, false);
    finishAfter(62, false);
    QJsonArray expected = QJsonDocument::fromJson(before).array();
    for (qsizetype i = 2; i < 4; ++i) {
        const FocusLog::Stretch& s = log->stretches()[i];
        expected.append(QJsonObject{{"activity", s.activity},
                                    {"start", 818326800.0},
                                    {"sitting", 818326800.0},
                                    {"planned", 1500},
                                    {"seconds", s.seconds},
                                    {"completed", false}});
    }
    EXPECT_TRUE(log->flush());
    EXPECT_EQ(defaults->data("focusLog"), QJsonDocument(expected).toJson(QJsonDocument::Compact));
    EXPECT_EQ(FocusLog(*defaults, clock).stretches(), log->stretches());
}

TEST_F(FocusLogTest, NumbersJsonCannotHoldMakeTheLogUnreadable) {
    log.reset();
    defaults->setData("focusLog", R"([{"activity":"A","start":1e999,"sitting":1,"planned":1,
                                       "seconds":1,"completed":true}])");
    log = std::make_unique<FocusLog>(*defaults, clock);
    EXPECT_TRUE(log->stretches().isEmpty());
    EXPECT_FALSE(defaults->data("focusLog").has_value()); // kept aside, not in place
}

} // namespace
