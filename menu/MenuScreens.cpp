#include "menu/MenuScreens.h"

#include "menu/MenuModels.h"
#include "reminders/Reminder.h"
#include "strings/Strings.h"

#include <QLocale>

namespace MenuScreens {

QWidget* stats(MenuModels&, Back) {
    return nullptr;
}

QWidget* reminders(MenuModels&, Back) {
    return nullptr;
}

QString when(const Reminder& reminder, const QDateTime& now) {
    const QDateTime at = reminder.at.toLocalTime();
    const QLocale locale;
    const QString time = locale.toString(at.time(), QLocale::ShortFormat);
    const QDate today = now.toLocalTime().date();
    if (at.date() == today) return time;
    if (at.date() == today.addDays(1)) return S().tomorrow(time);
    return locale.toString(at.date(), QStringLiteral("d MMM")) + u' ' + time;
}

} // namespace MenuScreens
