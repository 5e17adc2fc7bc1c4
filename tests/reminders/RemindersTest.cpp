#include "reminders/Reminders.h"

#include "fakes/Fakes.h"
#include "fakes/FullDisk.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// Wall-clock times in the test zone, Europe/Berlin.
QDateTime local(int y, int mo, int d, int h, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::LocalTime);
}

Reminder note(const QString& text, const QDateTime& at, bool daily = false) {
    return {QUuid::createUuid(), text, at, daily};
}

struct RemindersTest : ::testing::Test {
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 7, 8, 0)};
    std::unique_ptr<Reminders> reminders;
    QStringList delivered;

    void SetUp() override { open(); }
    void open() {
        reminders = std::make_unique<Reminders>(*defaults, clock);
        reminders->onDue = [this](const Reminder& r) { delivered << r.text; };
    }
    void tickAt(const QDateTime& t) {
        clock.set(t);
        reminders->check();
    }
    QJsonArray stored() {
        return QJsonDocument::fromJson(defaults->data("reminders").value_or("")).array();
    }
};

TEST_F(RemindersTest, EmptyListChecksWithoutWriting) {
    EXPECT_FALSE(reminders->timerActive());
    reminders->check();
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(defaults->dataPath("reminders")));
}

TEST_F(RemindersTest, TimerRunsWhileAReminderWaits) {
    const QDateTime at = local(2026, 12, 7, 9, 0);
    reminders->insert(note("stretch", at));
    EXPECT_TRUE(reminders->timerActive());
    tickAt(at.addSecs(1));
    EXPECT_EQ(delivered, QStringList{"stretch"});
    EXPECT_FALSE(reminders->timerActive()); // the one-shot went with its delivery
    reminders->insert(note("water", at.addSecs(3600)));
    open(); // a start that finds one stored
    EXPECT_TRUE(reminders->timerActive());
}

TEST_F(RemindersTest, EqualDueTimesAreDeliveredTogetherInInsertionOrder) {
    const QDateTime at = local(2026, 12, 7, 9, 0);
    reminders->insert(note("later", at.addSecs(60)));
    reminders->insert(note("first", at));
    reminders->insert(note("second", at));
    ASSERT_EQ(reminders->list().size(), 3);
    EXPECT_EQ(reminders->list()[1].text, "second");
    tickAt(at.addMSecs(300));
    EXPECT_EQ(delivered, (QStringList{"first", "second"}));
    ASSERT_EQ(reminders->list().size(), 1);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(RemindersTest, PastOneShotIsDeliveredAtTheFirstTickAfterStart) {
    reminders->insert(note("call mum", local(2026, 12, 6, 17, 30)));
    open(); // restart
    ASSERT_EQ(reminders->list().size(), 1);
    reminders->check();
    EXPECT_EQ(delivered, QStringList{"call mum"});
    EXPECT_TRUE(reminders->list().isEmpty());
    open();
    EXPECT_TRUE(reminders->list().isEmpty());
}

TEST_F(RemindersTest, DailyMovesToTheSameTimeNextDayAndSkipsMissedDays) {
    reminders->insert(note("stretch", local(2026, 12, 7, 8, 30), true));
    tickAt(local(2026, 12, 7, 8, 29, 59));
    EXPECT_TRUE(delivered.isEmpty());
    tickAt(local(2026, 12, 7, 8, 30, 0, 400));
    EXPECT_EQ(reminders->list()[0].at, local(2026, 12, 8, 8, 30));
    // Three days later, at 09:00: delivered once, next due tomorrow.
    tickAt(local(2026, 12, 11, 9, 0));
    EXPECT_EQ(delivered, (QStringList{"stretch", "stretch"}));
    EXPECT_EQ(reminders->list()[0].at, local(2026, 12, 12, 8, 30));
    EXPECT_TRUE(reminders->list()[0].daily);
}

TEST_F(RemindersTest, DailyKeepsItsWallClockTimeAcrossDaylightSavingChanges) {
    reminders->insert(note("spring", local(2026, 3, 28, 8, 30), true));
    reminders->insert(note("autumn", local(2026, 10, 24, 8, 30), true));
    tickAt(local(2026, 3, 28, 8, 30));
    // Sunday has 23 hours; the reminder stays at 08:30, not 09:30.
    EXPECT_EQ(reminders->list()[0].at, local(2026, 3, 29, 8, 30));
    EXPECT_EQ(local(2026, 3, 28, 8, 30).secsTo(reminders->list()[0].at), 23 * 3600);
    tickAt(local(2026, 10, 24, 8, 30));
    EXPECT_EQ(reminders->list().last().at, local(2026, 10, 25, 8, 30));
    EXPECT_EQ(local(2026, 10, 24, 8, 30).secsTo(reminders->list().last().at), 25 * 3600);
}

TEST(ReminderNextOccurrence, GapTakesTheNextExistingTimeAndRepeatTheFirst) {
    // 2026-03-29 02:00 CET jumps to 03:00 CEST in Berlin.
    const QDateTime gap =
        Reminders::nextOccurrence(local(2026, 3, 28, 2, 30), local(2026, 3, 28, 2, 30));
    // 03:00 CEST; the 31 ms remember 02:30, 30 minutes into the gap.
    EXPECT_EQ(gap.toUTC(), QDateTime(QDate(2026, 3, 29), QTime(1, 0, 0, 31), QTimeZone::utc()));
    // 2026-10-25 03:00 CEST goes back to 02:00 CET: 02:30 happens twice.
    const QDateTime repeat =
        Reminders::nextOccurrence(local(2026, 10, 24, 2, 30), local(2026, 10, 24, 2, 30));
    EXPECT_EQ(repeat.toUTC(), QDateTime(QDate(2026, 10, 25), QTime(0, 30), QTimeZone::utc()));
    // Once the first 02:30 has passed, the second one is not another occurrence.
    const QDateTime afterFirst = QDateTime(QDate(2026, 10, 25), QTime(0, 45), QTimeZone::utc());
    EXPECT_EQ(Reminders::nextOccurrence(local(2026, 10, 24, 2, 30), afterFirst),
              local(2026, 10, 26, 2, 30));
}

TEST_F(RemindersTest, DailyTimeInTheSpringGapComesBackTheDayAfter) {
    reminders->insert(note("night owl", local(2026, 3, 28, 2, 30), true));
    tickAt(local(2026, 3, 28, 2, 30));
    const QDateTime inGap = reminders->list()[0].at;
    EXPECT_EQ(inGap.toLocalTime().time().toString("HH:mm:ss"), "03:00:00");
    open(); // the chosen time survives a restart
    tickAt(local(2026, 3, 29, 3, 0, 1));
    EXPECT_EQ(delivered, (QStringList{"night owl", "night owl"}));
    EXPECT_EQ(reminders->list()[0].at, local(2026, 3, 30, 2, 30));
}

TEST_F(RemindersTest, StoresTheDocumentedJsonAndLoadsItAsStored) {
    const QUuid id = QUuid::fromString(QStringLiteral("6f1d8a8e-3c4b-4e2a-9f1e-0a1b2c3d4e5f"));
    reminders->insert({id, "water the plants", local(2026, 12, 7, 9, 0), true});
    const QJsonArray array = stored();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject o = array[0].toObject();
    EXPECT_EQ(o.keys(), (QStringList{"at", "daily", "id", "text"}));
    EXPECT_EQ(o["id"].toString(), "6F1D8A8E-3C4B-4E2A-9F1E-0A1B2C3D4E5F");
    EXPECT_DOUBLE_EQ(o["at"].toDouble(), 818323200.0); // 08:00 UTC
    EXPECT_EQ(o["daily"], QJsonValue(true));

    // A list stored out of order is taken as it is.
    defaults->setData("reminders", R"([
        {"id":"6F1D8A8E-3C4B-4E2A-9F1E-0A1B2C3D4E5F","text":"b","at":818330400.0,"daily":false},
        {"id":"7F1D8A8E-3C4B-4E2A-9F1E-0A1B2C3D4E5F","text":"a","at":818326800.5,"daily":true}])");
    open();
    ASSERT_EQ(reminders->list().size(), 2);
    EXPECT_EQ(reminders->list()[0].text, "b");
    EXPECT_EQ(reminders->list()[1].at.toMSecsSinceEpoch() % 1000, 500);
}

TEST_F(RemindersTest, RemoveDropsEveryMatchAndAlwaysSaves) {
    const Reminder a = note("a", local(2026, 12, 7, 9)), b = note("b", local(2026, 12, 7, 10));
    reminders->insert(a);
    reminders->insert(b);
    reminders->insert(a);
    int changes = 0;
    QObject::connect(reminders.get(), &Reminders::listChanged, [&] { ++changes; });
    reminders->remove(a.id);
    EXPECT_EQ(reminders->list(), QList<Reminder>{b});
    EXPECT_EQ(changes, 1);
    QFile::remove(defaults->dataPath("reminders"));
    reminders->remove(QUuid::createUuid());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(RemindersTest, UnreadableStoredListIsKeptAsideAndStartsEmpty) {
    const QByteArray broken =
        R"([{"id":"6F1D8A8E-3C4B-4E2A-9F1E-0A1B2C3D4E5F","text":"a","at":1.0}])";
    defaults->setData("reminders", broken);
    open();
    EXPECT_TRUE(reminders->list().isEmpty());
    const QDir dir(QFileInfo(defaults->dataPath("reminders")).absolutePath());
    const QStringList aside = dir.entryList({"reminders.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), broken);
    reminders->insert(note("new", local(2026, 12, 8, 9)));
    EXPECT_EQ(stored().size(), 1);
}

} // namespace

namespace {

QStringList textsOf(const QList<Reminder>& list) {
    QStringList out;
    for (const Reminder& r : list)
        out << r.text;
    return out;
}

TEST_F(RemindersTest, AClockSetYearsAheadForOneTickLeavesTheDailyReminderAtTomorrow) {
    clock.set(local(2026, 12, 7, 10, 0));
    reminders->insert(note("standup", local(2026, 12, 8, 9, 0), true));
    reminders->insert(note("dentist", local(2026, 12, 20, 15, 0)));
    tickAt(local(2036, 12, 7, 10, 0)); // a wrong hardware clock, for one tick
    // A one-shot due before that date is delivered early, not lost.
    EXPECT_EQ(delivered, (QStringList{"standup", "dentist"}));
    tickAt(local(2026, 12, 7, 10, 0, 1)); // corrected
    // A clock set back moves no stored time, so the daily one stays where the wrong clock put
    // it; it is due at its hour and minute all the same, also after a restart.
    ASSERT_EQ(reminders->list().size(), 1);
    const QDateTime now = clock.now();
    EXPECT_EQ(Reminders::dueAt(reminders->list()[0], now, now), local(2026, 12, 8, 9, 0));
    open();
    tickAt(local(2026, 12, 8, 8, 59, 59));
    EXPECT_EQ(delivered, (QStringList{"standup", "dentist"}));
    tickAt(local(2026, 12, 8, 9, 0));
    EXPECT_EQ(delivered, (QStringList{"standup", "dentist", "standup"}));
    ASSERT_EQ(reminders->list().size(), 1);
    EXPECT_EQ(reminders->list()[0].at, local(2026, 12, 9, 9, 0));
}

TEST_F(RemindersTest, AClockSetBackForAMomentMovesNoReminderAndDeliversItOnce) {
    const QDateTime start = local(2026, 12, 7, 17, 29);
    reminders->insert(note("stretch", local(2026, 12, 7, 17, 30), true));
    tickAt(start);
    const QJsonArray before = stored();
    // A year back for a minute and five seconds, across the reminder's time on that day.
    for (int i = 1; i <= 65; ++i)
        tickAt(local(2025, 12, 7, 17, 29).addSecs(i));
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(stored(), before);
    // Right again: its time passed meanwhile, so it comes at once, and only once.
    tickAt(start.addSecs(66));
    EXPECT_EQ(delivered, QStringList{"stretch"});
    for (int i = 67; i <= 180; ++i)
        tickAt(start.addSecs(i));
    EXPECT_EQ(delivered, QStringList{"stretch"});
    EXPECT_EQ(reminders->list()[0].at, local(2026, 12, 8, 17, 30));
}

TEST_F(RemindersTest, ChangesMadeFromInsideOnDueSurvive) {
    const Reminder later = note("later", local(2026, 12, 7, 18, 0));
    reminders->insert(later);
    reminders->insert(note("now", local(2026, 12, 7, 9, 0)));
    reminders->insert(note("daily", local(2026, 12, 7, 9, 0), true));
    reminders->onDue = [&](const Reminder& r) {
        delivered << r.text;
        if (r.text == "now") {
            reminders->insert(note("snoozed", local(2026, 12, 7, 9, 10)));
            reminders->remove(later.id);
        }
    };
    tickAt(local(2026, 12, 7, 9, 0));
    EXPECT_EQ(delivered, (QStringList{"now", "daily"}));
    EXPECT_EQ(textsOf(reminders->list()), (QStringList{"snoozed", "daily"}));
    EXPECT_EQ(reminders->list()[1].at, local(2026, 12, 8, 9, 0));
    open();
    EXPECT_EQ(textsOf(reminders->list()), (QStringList{"snoozed", "daily"}));
}

TEST_F(RemindersTest, AListChangedOnDiskWhileRunningKeepsBothSidesChanges) {
    const Reminder kept = note("kept", local(2026, 12, 7, 12, 0));
    const Reminder dropped = note("dropped elsewhere", local(2026, 12, 7, 13, 0));
    reminders->insert(kept);
    reminders->insert(dropped);
    // Another writer removes one reminder and adds one.
    {
        auto other = defaults.reopened();
        Reminders elsewhere(*other, clock);
        elsewhere.remove(dropped.id);
        elsewhere.insert(note("added elsewhere", local(2026, 12, 7, 11, 0)));
    }
    reminders->insert(note("added here", local(2026, 12, 7, 14, 0)));
    const QStringList both{"added elsewhere", "kept", "added here"};
    EXPECT_EQ(textsOf(reminders->list()), both);
    open();
    EXPECT_EQ(textsOf(reminders->list()), both);
}

} // namespace

namespace {

TEST_F(RemindersTest, AChangeWhoseSaveHitAFullDiskIsWrittenLater) {
    reminders->insert(note("kept", local(2026, 12, 7, 9)));
    {
        FullDisk full;
        reminders->insert(note("written later", local(2026, 12, 7, 10)));
    }
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(reminders->list().size(), 2);
    EXPECT_TRUE(reminders->flush()); // the quit path
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored()[1].toObject().value("text").toString(), "written later");
}

} // namespace
