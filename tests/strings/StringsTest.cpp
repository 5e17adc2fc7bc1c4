#include "strings/English.h"
#include "strings/Russian.h"

#include <gtest/gtest.h>

namespace {

const English en;
const Russian ru;

} // namespace

TEST(Strings, RussianPluralFollowsTheLastTwoDigits) {
    const std::pair<int, const char*> days[] = {
        {0, "0 дней"},     {1, "1 день"},     {3, "3 дня"},       {4, "4 дня"},
        {5, "5 дней"},     {11, "11 дней"},   {12, "12 дней"},    {14, "14 дней"},
        {21, "21 день"},   {22, "22 дня"},    {25, "25 дней"},    {101, "101 день"},
        {111, "111 дней"}, {112, "112 дней"}, {1002, "1002 дня"}, {-1, "-1 день"},
    };
    for (const auto& [n, text] : days)
        EXPECT_EQ(ru.days(n), QString::fromUtf8(text)) << n;

    EXPECT_EQ(ru.moreActivities(1), QStringLiteral("Ещё 1 занятие"));
    EXPECT_EQ(ru.moreActivities(4), QStringLiteral("Ещё 4 занятия"));
    EXPECT_EQ(ru.moreActivities(13), QStringLiteral("Ещё 13 занятий"));
    EXPECT_EQ(ru.moreActivities(31), QStringLiteral("Ещё 31 занятие"));
    // These have one form for every number.
    EXPECT_EQ(ru.pomodoros(1), QStringLiteral("1 помодоро"));
    EXPECT_EQ(ru.pomodoros(22), QStringLiteral("22 помодоро"));
    EXPECT_EQ(ru.filesInTrash(5), QStringLiteral("5 файла в Корзине"));
}

TEST(Strings, EnglishSingularOnlyForOne) {
    EXPECT_EQ(en.days(1), "1 day");
    EXPECT_EQ(en.days(0), "0 days");
    EXPECT_EQ(en.days(21), "21 days");
    EXPECT_EQ(en.pomodoros(1), "1 pomodoro");
    EXPECT_EQ(en.pomodoros(2), "2 pomodoros");
    EXPECT_EQ(en.moreActivities(1), "1 more activity");
    EXPECT_EQ(en.moreActivities(2), "2 more activities");
    // Large numbers are plain digits, never grouped.
    EXPECT_EQ(en.pomodorosInARow(12345), "12345 pomodoros in a row! 🔥");
    EXPECT_EQ(en.filesInTrash(1000), "1000 files are in the Trash");
}

TEST(Strings, DurationInHoursAndMinutes) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "0 min", "0 мин"},          {45, "45 min", "45 мин"},
        {59, "59 min", "59 мин"},       {60, "1 h", "1 ч"},
        {61, "1 h 1 min", "1 ч 1 мин"}, {120, "2 h", "2 ч"},
        {65, "1 h 5 min", "1 ч 5 мин"}, {1439, "23 h 59 min", "23 ч 59 мин"},
        {1500, "25 h", "25 ч"},
    };
    for (const auto& [m, english, russian] : cases) {
        EXPECT_EQ(en.duration(m), QString::fromUtf8(english)) << m;
        EXPECT_EQ(ru.duration(m), QString::fromUtf8(russian)) << m;
    }
    EXPECT_EQ(nbsp(en.duration(65)), QStringLiteral("1\u00A0h\u00A05\u00A0min"));
    EXPECT_FALSE(nbsp(ru.duration(65)).contains(QLatin1Char(' ')));
}

TEST(Strings, SentencesBuiltFromCounts) {
    EXPECT_EQ(en.streak(1), "🔥 1 day in a row");
    EXPECT_EQ(en.streak(3), "🔥 3 days in a row");
    EXPECT_EQ(ru.streak(2), QStringLiteral("🔥 2 дня подряд"));
    EXPECT_EQ(en.focusDaysOfWeek(5), "📅 In focus 5 of 7 days");
    EXPECT_EQ(en.focusDaysOfWeek(1), "📅 In focus 1 of 7 days");
    EXPECT_EQ(ru.focusDaysOfWeek(5), QStringLiteral("📅 В фокусе 5 дней из 7"));
    EXPECT_EQ(ru.focusDaysOfWeek(1), QStringLiteral("📅 В фокусе 1 день из 7"));
    EXPECT_EQ(en.percent(42), "42%");
    EXPECT_EQ(ru.percent(42), QStringLiteral("42 %"));
    EXPECT_EQ(en.weekdays().first(), "Mon");
    EXPECT_EQ(ru.weekdays(),
              QStringList({QStringLiteral("Пн"), QStringLiteral("Вт"), QStringLiteral("Ср"),
                           QStringLiteral("Чт"), QStringLiteral("Пт"), QStringLiteral("Сб"),
                           QStringLiteral("Вс")}));
}

// The characters that are easy to lose: variation selectors, quotes, the single-character
// ellipsis and the back arrow. Expected texts are spelled out code point by code point.
TEST(Strings, TypographyIsExact) {
    const auto text = [](const char16_t* s) { return QString::fromUtf16(s); };
    EXPECT_EQ(en.breakLeft("4:59"), text(u"Break \u2615\uFE0F 4:59"));
    EXPECT_EQ(ru.breakLeft("4:59"), text(u"Перерыв \u2615\uFE0F 4:59"));
    EXPECT_EQ(en.dayMissedThisWeek(), text(u"\u2744\uFE0F One day missed this week"));
    EXPECT_EQ(ru.oneMissForgiven(), text(u"\u2744\uFE0F Один пропуск в неделю прощается"));
    EXPECT_EQ(en.inTrash("a.txt"), text(u"\u201Ca.txt\u201D is in the Trash"));
    EXPECT_EQ(ru.inTrash("a.txt"), text(u"\u00ABa.txt\u00BB в Корзине"));
    EXPECT_EQ(en.cantPutBack("a"), text(u"Couldn't put back \u201Ca\u201D"));
    EXPECT_EQ(ru.cantPutBack("a"), text(u"Не получилось вернуть \u00ABa\u00BB"));
    EXPECT_EQ(en.cantTrash("a"), text(u"Couldn't move \u201Ca\u201D to the Trash"));
    EXPECT_EQ(ru.cantTrash("a"), text(u"Не получилось убрать \u00ABa\u00BB в Корзину"));
    EXPECT_EQ(ru.sittingAverage("25 мин", "3"),
              text(u"От \u00ABСтарт\u00BB до \u00ABСтоп\u00BB в среднем 25 мин, 3\u00A0помодоро"));
    // The number stays on the line of its word.
    EXPECT_TRUE(en.sittingAverage("25\u00A0min", "1").endsWith(text(u"1\u00A0pomodoros")));
    EXPECT_EQ(en.back(), text(u"\u2039 Back"));
    // The desktop's own words for its startup list, not another system's "Login Items".
    EXPECT_EQ(en.allowInLoginItems(), text(u"Allow in Startup Applications\u2026"));
    EXPECT_EQ(ru.allowInLoginItems(), text(u"Разрешить в автозапуске\u2026"));
    EXPECT_EQ(ru.reminderPlaceholder(), text(u"О чём напомнить\u2026"));
    EXPECT_EQ(en.done(), text(u"Done \u2713"));
    EXPECT_EQ(en.nextReminder("17:30", "call mum"), text(u"next 17:30 \u00B7 call mum"));
    EXPECT_EQ(en.addedToBank(nbsp("25 min")), text(u"+25\u00A0min in the bank \U0001F389"));
}

TEST(Strings, EachTableNamesItsOwnLanguage) {
    EXPECT_EQ(stringsFor(Language::en).languageName(), "English");
    EXPECT_EQ(stringsFor(Language::ru).languageName(), QStringLiteral("Русский"));
    EXPECT_EQ(stringsFor(Language::ru).delete_(), QStringLiteral("Удалить"));
}
