#include "menu/MenuScreens.h"

#include "menu/MenuModels.h"
#include "reminders/ReminderEntry.h"
#include "reminders/screen/RemindersScreen.h"
#include "stats/StatsScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace MenuScreens {

QWidget* stats(MenuModels& models, Back back) {
    const auto workArea = []() -> std::optional<double> {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return std::nullopt;
        return screen->availableGeometry().height();
    };
    return new StatsScreen(models.focusLog, models.clock, workArea, std::move(back));
}

QWidget* reminders(MenuModels& models, Back back) {
    return new RemindersScreen(models.reminders, models.clock, std::move(back));
}

QString when(const Reminder& reminder, const QDateTime& now) {
    return ReminderEntry::when(reminder, now);
}

} // namespace MenuScreens
