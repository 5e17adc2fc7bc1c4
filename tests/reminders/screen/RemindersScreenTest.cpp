#include "reminders/screen/RemindersScreen.h"

#include "fakes/Fakes.h"
#include "kit/ChunkyButton.h"
#include "kit/CuteToggle.h"
#include "kit/FieldCard.h"
#include "kit/QuietButton.h"
#include "kit/TextLine.h"
#include "reminders/Reminders.h"
#include "strings/Strings.h"

#include <QLabel>
#include <QLocale>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

QDateTime local(int y, int mo, int d, int h, int mi = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::LocalTime);
}

QStringList textsOf(const QWidget* widget) {
    QStringList texts;
    for (const TextLine* line : widget->findChildren<TextLine*>())
        texts << line->text();
    return texts;
}

struct RemindersScreenTest : ::testing::Test {
    QLocale saved;
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 7, 10, 20)};
    std::unique_ptr<Reminders> reminders;
    std::unique_ptr<RemindersScreen> screen;
    int backs = 0;

    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        reminders = std::make_unique<Reminders>(*defaults, clock);
        screen = std::make_unique<RemindersScreen>(*reminders, clock, [this] { ++backs; });
        screen->resize(310, 500);
    }
    void TearDown() override { QLocale::setDefault(saved); }
    void type(const QString& text) {
        screen->field()->clear();
        screen->field()->insert(text);
    }
};

TEST_F(RemindersScreenTest, OnlyATrimmedNonEmptyTextCanBeAdded) {
    EXPECT_FALSE(screen->addButton()->isEnabled());
    EXPECT_TRUE(screen->emptyNote()->isVisibleTo(screen.get()));
    type(" \n  \t");
    EXPECT_FALSE(screen->addButton()->isEnabled());
    screen->add(); // Return in the field does nothing either
    EXPECT_TRUE(reminders->list().isEmpty());

    type("  stretch  ");
    ASSERT_TRUE(screen->addButton()->isEnabled());
    screen->addButton()->click();
    ASSERT_EQ(reminders->list().size(), 1);
    const Reminder r = reminders->list()[0];
    EXPECT_EQ(r.text, "stretch");
    EXPECT_EQ(r.at, clock.now().addSecs(30 * 60)); // the fresh screen's 30 minutes
    EXPECT_FALSE(r.daily);
    EXPECT_TRUE(screen->field()->text().isEmpty());
    EXPECT_FALSE(screen->addButton()->isEnabled());
    EXPECT_FALSE(screen->emptyNote()->isVisibleTo(screen.get()));
    ASSERT_EQ(screen->rows().size(), 1);
    EXPECT_TRUE(textsOf(screen->rows()[0]).contains("10:50"));
}

TEST_F(RemindersScreenTest, APasteIsCutTo120Characters) {
    type(QString(121, QLatin1Char('x')));
    EXPECT_EQ(screen->field()->text(), QString(120, QLatin1Char('x')));
}

TEST_F(RemindersScreenTest, TheMinuteStepperStopsAt5And480) {
    EXPECT_EQ(screen->minutes(), 30);
    screen->fewerButton()->click();
    EXPECT_EQ(screen->minutes(), 25);
    EXPECT_TRUE(textsOf(screen.get()).contains("25 min"));
    for (int i = 0; i < 10; ++i)
        screen->fewerButton()->click();
    EXPECT_EQ(screen->minutes(), 5);
    EXPECT_FALSE(screen->fewerButton()->isEnabled());
    for (int i = 0; i < 200; ++i)
        screen->moreButton()->click();
    EXPECT_EQ(screen->minutes(), 480);
    EXPECT_FALSE(screen->moreButton()->isEnabled());
    EXPECT_TRUE(textsOf(screen.get()).contains("8 h"));
}

TEST_F(RemindersScreenTest, AtTimeEarlierThanNowIsTomorrowAndDailyRowsRepeat) {
    EXPECT_EQ(screen->timeEdit()->time(), QTime(11, 0)); // the next full hour
    screen->atButton()->click();
    EXPECT_TRUE(screen->atTime());
    screen->timeEdit()->setTime(QTime(9, 0));
    screen->dailyToggle()->click();
    type("water the plants");
    screen->add();
    ASSERT_EQ(reminders->list().size(), 1);
    EXPECT_EQ(reminders->list()[0].at, local(2026, 12, 8, 9, 0));
    EXPECT_TRUE(reminders->list()[0].daily);
    EXPECT_TRUE(screen->atTime()); // the mode stays for the next one

    QWidget* row = screen->rows().value(0);
    ASSERT_NE(row, nullptr);
    const QStringList texts = textsOf(row);
    EXPECT_TRUE(texts.contains(S().tomorrow("09:00")));
    EXPECT_TRUE(texts.contains("water the plants"));
    EXPECT_TRUE(texts.contains(QStringLiteral("🔁")));

    auto* remove = row->findChild<QuietButton*>();
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(remove->toolTip(), S().delete_());
    remove->click();
    EXPECT_TRUE(reminders->list().isEmpty());
    EXPECT_TRUE(screen->rows().isEmpty());
    EXPECT_TRUE(screen->emptyNote()->isVisibleTo(screen.get()));
}

} // namespace
