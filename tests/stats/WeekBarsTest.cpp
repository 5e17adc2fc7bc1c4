#include "kit/WeekBars.h"

#include "base/Calendar.h"
#include "kit/Theme.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

FocusWeek weekFrom(QDate monday, QList<double> seconds) {
    FocusWeek week;
    for (int i = 0; i < 7; ++i)
        week.days.push_back(
            FocusDay{Calendar::startOfDay(monday.addDays(i)), seconds.value(i), {}, 0, 0});
    return week;
}

QRgb centre(const QImage& image, const QRectF& r) {
    return image.pixel(QPoint(int(r.center().x()), int(r.center().y())));
}

TEST(WeekBars, OnlyWednesdayIsFullHeightOthersAreCreamStubs) {
    const QDate monday(2026, 12, 7);
    WeekBars bars(weekFrom(monday, {0, 0, 1800, 0, 0, 0, 0}), 64, 11, nullptr, monday.addDays(4));
    bars.resize(300, bars.sizeHint().height());
    EXPECT_EQ(bars.today(), 4);
    EXPECT_DOUBLE_EQ(bars.barRect(2).height(), 64);
    EXPECT_DOUBLE_EQ(bars.barRect(2).top(), 0);
    for (int i : {0, 1, 3, 4, 5, 6}) {
        EXPECT_DOUBLE_EQ(bars.barRect(i).height(), WeekBars::minimumBar) << i;
        EXPECT_DOUBLE_EQ(bars.barRect(i).bottom(), 64) << i;
    }
    // Seven equal columns with 4 points between them fill the width.
    EXPECT_NEAR(bars.barRect(6).right(), 300, 1e-9);
    EXPECT_NEAR(bars.barRect(1).left() - bars.barRect(0).right(), WeekBars::columnSpacing, 1e-9);

    QImage image(bars.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    bars.render(&image);
    EXPECT_EQ(centre(image, bars.barRect(2)), Theme::pink().rgb());
    EXPECT_EQ(centre(image, bars.barRect(0)), Theme::cream().rgb());
}

TEST(WeekBars, TodayOnlyInsideTheWeekAndBadValuesAreEmptyDays) {
    const QDate monday(2026, 12, 7);
    const FocusWeek week = weekFrom(monday, {60, 120});
    EXPECT_EQ(WeekBars::todayIndex(week, monday), 0);
    EXPECT_EQ(WeekBars::todayIndex(week, monday.addDays(7)), std::nullopt);
    EXPECT_EQ(WeekBars::todayIndex(FocusWeek{}, monday), std::nullopt);

    // The list constructor: short lists are padded, negative or non-finite values are empty,
    // an index outside the week marks no column.
    WeekBars bars({-5, std::numeric_limits<double>::infinity(), 30}, 9, 70, 15);
    bars.resize(200, 100);
    EXPECT_EQ(bars.seconds(), (QList<double>{0, 0, 30, 0, 0, 0, 0}));
    EXPECT_EQ(bars.today(), std::nullopt);
    EXPECT_DOUBLE_EQ(bars.barRect(2).height(), 70);
    // A week of zeros has scale 1: every bar is a stub.
    WeekBars empty(QList<double>(7, 0.0), 3, 70, 15);
    empty.resize(200, 100);
    EXPECT_EQ(empty.today(), 3);
    EXPECT_DOUBLE_EQ(empty.barRect(3).height(), WeekBars::minimumBar);
}

} // namespace
