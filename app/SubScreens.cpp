#include "app/SubScreens.h"

#include "reminders/screen/RemindersScreen.h"
#include "stats/StatsScreen.h"

#include <QGuiApplication>
#include <QScreen>

MenuScreens subScreens(FocusLog& log, Reminders& reminders, Clock& clock) {
    MenuScreens screens;
    screens.stats = [&log, &clock](MenuScreens::Back back) -> QWidget* {
        const auto workArea = []() -> std::optional<double> {
            const QScreen* screen = QGuiApplication::primaryScreen();
            if (!screen) return std::nullopt;
            return screen->availableGeometry().height();
        };
        return new StatsScreen(log, clock, workArea, std::move(back));
    };
    screens.reminders = [&reminders, &clock](MenuScreens::Back back) -> QWidget* {
        return new RemindersScreen(reminders, clock, std::move(back));
    };
    return screens;
}
