#include "strings/English.h"
#include "strings/Russian.h"

#include <gtest/gtest.h>

namespace {

const English en;
const Russian ru;

struct Span {
    QDate from, to;
    bool year;
    const char* english;
    const char* russian;
};

} // namespace

TEST(DateSpan, CollapsesWhatRepeats) {
    const Span spans[] = {
        {{2026, 12, 7}, {2026, 12, 13}, false, "7–13 December", "7–13 декабря"},
        {{2026, 12, 7}, {2026, 12, 13}, true, "7–13 December 2026", "7–13 декабря 2026"},
        {{2026, 11, 30}, {2026, 12, 6}, false, "30 November – 6 December", "30 ноября – 6 декабря"},
        {{2026, 11, 30},
         {2026, 12, 6},
         true,
         "30 November – 6 December 2026",
         "30 ноября – 6 декабря 2026"},
        {{2026, 6, 2}, {2026, 6, 8}, false, "2–8 June", "2–8 июня"},
        {{2026, 6, 30}, {2026, 7, 6}, false, "30 June – 6 July", "30 июня – 6 июля"},
        // Across the new year both name both years.
        {{2026, 12, 28},
         {2027, 1, 3},
         true,
         "28 December 2026 – 3 January 2027",
         "28 декабря 2026 – 3 января 2027"},
        {{2026, 12, 28}, {2027, 1, 3}, false, "28 December – 3 January", "28 декабря – 3 января"},
        // The same month of two different years is not the same month.
        {{2025, 12, 1}, {2026, 12, 1}, false, "1 December – 1 December", "1 декабря – 1 декабря"},
        {{2024, 2, 26}, {2024, 3, 3}, false, "26 February – 3 March", "26 февраля – 3 марта"},
    };
    for (const Span& s : spans) {
        EXPECT_EQ(en.dateSpan(s.from, s.to, s.year), QString::fromUtf8(s.english))
            << s.from.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(ru.dateSpan(s.from, s.to, s.year), QString::fromUtf8(s.russian))
            << s.from.toString(Qt::ISODate).toStdString();
    }
}

TEST(DateSpan, SingleDayAndReversedArguments) {
    EXPECT_EQ(en.dateSpan({2026, 12, 7}, {2026, 12, 7}, true), "7 December 2026");
    // A caller that swaps the ends still gets the span in calendar order.
    EXPECT_EQ(en.dateSpan({2026, 12, 6}, {2026, 11, 30}, false), "30 November – 6 December");
    EXPECT_EQ(ru.dateSpan({2026, 6, 8}, {2026, 6, 2}, false), QStringLiteral("2–8 июня"));
}
