#include "stats/StatsNumbers.h"

#include "strings/Strings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace StatsNumbers {

int minutes(double seconds) {
    if (!std::isfinite(seconds)) return 0;
    const double m = std::round(seconds / 60.0); // std::round rounds halves away from zero
    return int(std::clamp(m, double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

QString duration(double seconds) {
    return nbsp(S().duration(minutes(seconds)));
}

double total(const FocusWeek& week) {
    double sum = 0;
    for (const FocusDay& day : week.days)
        sum += day.seconds;
    return sum;
}

bool showsWeek(const FocusWeek& week) {
    return total(week) >= 60;
}

double bestDay(const FocusWeek& week) {
    double best = 0;
    for (const FocusDay& day : week.days)
        best = std::max(best, day.seconds);
    return best;
}

double dailyAverage(const FocusWeek& week) {
    const int days = week.focusDays();
    return days > 0 ? total(week) / days : 0;
}

int pomodoros(const FocusWeek& week) {
    int n = 0;
    for (const FocusDay& day : week.days)
        n += day.pomodoros;
    return n;
}

int percent(double seconds, double total) {
    if (total <= 0) return 0;
    return int(std::round(seconds / total * 100.0));
}

} // namespace StatsNumbers
