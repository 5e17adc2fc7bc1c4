#include "StatsSupport.h"
#include "fakes/Fakes.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "stats/PdfBlocks.h"
#include "stats/StatsPDF.h"
#include "stats/StoryCard.h"
#include "strings/Strings.h"

#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList textsOf(const QWidget& widget) {
    QStringList texts;
    for (const TextLine* line : widget.findChildren<TextLine*>())
        texts << line->text();
    return texts;
}

int pageCount(const QByteArray& pdf) {
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

struct ExportsTest : ::testing::Test {
    EnglishLocale english;
    FakeClock clock{at(2026, 12, 9, 12, 0)}; // Wednesday
};

TEST_F(ExportsTest, ATwoMinuteTuesdayIsOnePage) {
    FocusLog log(clock, {worked(at(2026, 12, 8, 10), 120, false, "Inbox")});
    const StatsPDF::Layout layout = StatsPDF::pages(log, clock.now());
    ASSERT_EQ(layout.blocks.size(), 3u);
    EXPECT_NE(dynamic_cast<WeekHead*>(layout.blocks[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<DayBlock*>(layout.blocks[1].get()), nullptr);
    EXPECT_NE(dynamic_cast<SharesBlock*>(layout.blocks[2].get()), nullptr);
    EXPECT_TRUE(textsOf(*layout.blocks[1]).contains(StatsPDF::dayName(QDate(2026, 12, 8))));
    EXPECT_EQ(StatsPDF::dayName(QDate(2026, 12, 7)), "Monday, 7 December");
    EXPECT_EQ(layout.pages, (QList<QList<int>>{{0, 1, 2}}));
    // Measured heights are real layouts, not zeros.
    EXPECT_GT(StatsPDF::measure(*layout.blocks[0]), 250);
    EXPECT_GT(StatsPDF::measure(*layout.blocks[1]), 15);

    const QByteArray pdf = StatsPDF::data(log, clock.now());
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pageCount(pdf), 1);
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
            .match(QString::fromLatin1(pdf));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), 595, 0.5); // A4 portrait in points
    EXPECT_NEAR(box.captured(2).toDouble(), 842, 0.5);
    EXPECT_LT(pdf.size(), 200 * 1024);
}

TEST_F(ExportsTest, AFullWeekFlowsOntoMorePagesAndFoldsTheNinthActivity) {
    QList<FocusLog::Stretch> stretches;
    for (int day = 0; day < 7; ++day)
        for (int i = 0; i < 9; ++i)
            stretches << worked(at(2026, 12, 7 + day, 8 + i), 1500 - i * 60, true,
                                QStringLiteral("Activity number %1 with a long name").arg(i));
    FocusLog log(clock, stretches);
    const StatsPDF::Layout layout = StatsPDF::pages(log, clock.now());
    ASSERT_EQ(layout.blocks.size(), 9u); // head, seven days, activities
    EXPECT_GE(layout.pages.size(), 2);
    const QStringList shares = textsOf(*layout.blocks.back());
    EXPECT_TRUE(shares.contains(S().moreActivities(2)));
    EXPECT_TRUE(shares.contains("Activity number 6 with a long name"));
    EXPECT_FALSE(shares.contains("Activity number 7 with a long name"));
    const QByteArray pdf = StatsPDF::data(log, clock.now());
    EXPECT_EQ(pageCount(pdf), layout.pages.size());
    EXPECT_LT(pdf.size(), 200 * 1024);
}

TEST_F(ExportsTest, TheStoryCardIs1080By1920WithFourSharesAndMore) {
    QList<FocusLog::Stretch> stretches;
    for (int i = 0; i < 8; ++i)
        stretches << worked(at(2026, 12, 8, 8 + i), 1500, true, QStringLiteral("A%1").arg(i));
    FocusLog log(clock, stretches);
    const QImage image = StoryCard::picture(log, clock.now());
    ASSERT_EQ(image.size(), QSize(1080, 1920));
    EXPECT_EQ(QColor(image.pixel(5, 5)).rgb(), Theme::sky().rgb());
    // Somewhere the paper of the cards is drawn.
    bool paper = false;
    for (int y = 0; y < 1920 && !paper; y += 4)
        paper = QColor(image.pixel(540, y)).rgb() == Theme::paper().rgb();
    EXPECT_TRUE(paper);

    const StoryCard card(log.week(clock.now(), 5), 1, QDate(2026, 12, 9));
    const QStringList texts = textsOf(card);
    EXPECT_TRUE(texts.contains(S().moreActivities(4)));
    EXPECT_TRUE(texts.contains("A0"));
    EXPECT_FALSE(texts.contains("A4"));
    EXPECT_TRUE(
        texts.contains(QStringLiteral("🍅 ") + S().pomodoros(8))); // a 1-day streak adds nothing
    const StoryCard streaky(log.week(clock.now(), 5), 3, QDate(2026, 12, 9));
    EXPECT_TRUE(
        textsOf(streaky).contains(QStringLiteral("🍅 ") + S().pomodoros(8) + "   " + S().streak(3)));
    EXPECT_EQ(StoryCard::dates({}, false), QString());

    const QByteArray png = StoryCard::png(log, clock.now());
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(png).size(), QSize(1080, 1920));
}

} // namespace
