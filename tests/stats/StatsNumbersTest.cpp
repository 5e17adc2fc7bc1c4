#include "stats/StatsNumbers.h"

#include "stats/Export.h"
#include "stats/PdfPagination.h"
#include "strings/Strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

FocusWeek weekOf(std::initializer_list<double> seconds) {
    FocusWeek week;
    for (double s : seconds)
        week.days.push_back(FocusDay{{}, s, {}, s >= 1500 ? 1 : 0, 0});
    while (week.days.size() < 7)
        week.days.push_back({});
    return week;
}

TEST(StatsNumbers, RoundsToTheNearestMinuteWithNoBreakSpaces) {
    EXPECT_EQ(StatsNumbers::minutes(119 * 60 + 40), 120);
    EXPECT_EQ(StatsNumbers::duration(119 * 60 + 40), QStringLiteral("2\u00A0h"));
    EXPECT_EQ(StatsNumbers::minutes(29.9), 0);
    EXPECT_EQ(StatsNumbers::minutes(30), 1); // halves away from zero
    EXPECT_EQ(StatsNumbers::minutes(89.9), 1);
    EXPECT_EQ(StatsNumbers::duration(95 * 60), QStringLiteral("1\u00A0h\u00A035\u00A0min"));
    EXPECT_EQ(StatsNumbers::minutes(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(StatsNumbers, TheWeekShowsFromOneMinuteOn) {
    EXPECT_FALSE(StatsNumbers::showsWeek(weekOf({})));
    EXPECT_FALSE(StatsNumbers::showsWeek(weekOf({30, 29})));
    EXPECT_TRUE(StatsNumbers::showsWeek(weekOf({30, 30})));
    const FocusWeek week = weekOf({1500, 0, 3000, 45});
    EXPECT_EQ(StatsNumbers::total(week), 4545);
    EXPECT_EQ(StatsNumbers::bestDay(week), 3000);
    EXPECT_EQ(StatsNumbers::pomodoros(week), 2);
    EXPECT_DOUBLE_EQ(StatsNumbers::dailyAverage(week), 4545.0 / 2); // two focus days
    EXPECT_EQ(StatsNumbers::dailyAverage(weekOf({45})), 0);
    EXPECT_EQ(StatsNumbers::percent(1, 3), 33);
    EXPECT_EQ(StatsNumbers::percent(1, 0), 0);
}

TEST(PdfPagination, BlocksFillPagesAndNeverSplit) {
    // Head, one day and the shares block of a quiet week: one page.
    EXPECT_EQ(PdfPagination::pages({420, 40, 90}), (QList<QList<int>>{{0, 1, 2}}));
    // A block that exactly fills what is left still fits; one point more opens a page.
    EXPECT_EQ(PdfPagination::pages({400, 346}), (QList<QList<int>>{{0, 1}}));
    EXPECT_EQ(PdfPagination::pages({400, 347}), (QList<QList<int>>{{0}, {1}}));
    // A block taller than a page sits alone on its own page.
    EXPECT_EQ(PdfPagination::pages({100, 900, 100}), (QList<QList<int>>{{0}, {1}, {2}}));
    EXPECT_EQ(PdfPagination::pages({900}), (QList<QList<int>>{{0}}));
    EXPECT_TRUE(PdfPagination::pages({}).isEmpty());
}

TEST(Export, NameAndFailedWrites) {
    EXPECT_EQ(Export::name("png", QDate(2026, 12, 6)), S().exportName() + " 2026-12-06.png");
    EXPECT_EQ(Export::name("pdf", QDate(2026, 12, 6)), "Purrlox week 2026-12-06.pdf");

    QTemporaryDir dir;
    const QString path = dir.filePath("week.png");
    EXPECT_TRUE(Export::write("first", path, Export::Type::png).isEmpty());
    EXPECT_FALSE(Export::write("x", dir.filePath("missing/week.png"), Export::Type::png).isEmpty());
    // A folder that cannot be written: the older file there stays whole.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool locked = !QFileInfo(dir.path()).isWritable();
    const QString reason = Export::write("second", path, Export::Type::png);
    EXPECT_EQ(reason.isEmpty(), !locked);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), locked ? "first" : "second");
}

} // namespace
