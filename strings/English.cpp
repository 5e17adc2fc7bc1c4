#include "strings/English.h"

#include <QLocale>
#include <utility>

QString English::languageName() const {
    return QStringLiteral("English");
}
QString English::language() const {
    return QStringLiteral("Language");
}
QString English::sameAsSystem() const {
    return QStringLiteral("Same as system");
}
QString English::later() const {
    return QStringLiteral("Later");
}
QString English::openAtLogin() const {
    return QStringLiteral("Open at login");
}
QString English::allowInLoginItems() const {
    return QStringLiteral("Allow in Startup Applications…");
}
QString English::quit() const {
    return QStringLiteral("Quit");
}
QString English::back() const {
    return QStringLiteral("‹ Back");
}
QString English::checkForUpdates() const {
    return QStringLiteral("Check for updates");
}
QString English::fewerMinutes(const QString& t) const {
    return t + QStringLiteral(": fewer minutes");
}
QString English::moreMinutes(const QString& t) const {
    return t + QStringLiteral(": more minutes");
}
QString English::openApp() const {
    return QStringLiteral("Open Purrlox");
}
QString English::startFocus() const {
    return QStringLiteral("Start focus");
}
QString English::stopFocus(const QString& t) const {
    return QStringLiteral("Stop · ") + t + QStringLiteral(" left");
}
QString English::focusStatus(bool working, const QString& t, const QString& a) const {
    const QString left = t + QStringLiteral(" left");
    if (!working) return QStringLiteral("Break · ") + left;
    return QStringLiteral("Working · ") + left +
           (a.isEmpty() ? QString() : QStringLiteral(" · ") + a);
}
QString English::timerOff() const {
    return QStringLiteral("Focus timer is off");
}
QString English::notRunning() const {
    return QStringLiteral("Purrlox is not running");
}
QString English::pomodoro() const {
    return QStringLiteral("Pomodoro");
}
QString English::working() const {
    return QStringLiteral("Working");
}
QString English::work() const {
    return QStringLiteral("Work");
}
QString English::breakTime() const {
    return QStringLiteral("Break");
}
QString English::start() const {
    return QStringLiteral("Start");
}
QString English::stop() const {
    return QStringLiteral("Stop");
}
QString English::activityPlaceholder() const {
    return QStringLiteral("What are we working on?");
}
QString English::defaultActivity() const {
    return QStringLiteral("Work");
}
QString English::minutes(int n) const {
    return QString::number(n) + QStringLiteral(" min");
}
QString English::backToWork() const {
    return QStringLiteral("Back to work! 💻");
}
QString English::breakLeft(const QString& t) const {
    return QStringLiteral("Break ☕\uFE0F ") + t;
}
QString English::reminders() const {
    return QStringLiteral("⏰ Reminders");
}
QString English::noReminders() const {
    return QStringLiteral("none yet");
}
QString English::nextReminder(const QString& a, const QString& b) const {
    return QStringLiteral("next ") + a + QStringLiteral(" · ") + b;
}
QString English::reminderPlaceholder() const {
    return QStringLiteral("Remind me to…");
}
QString English::inSomeTime() const {
    return QStringLiteral("In");
}
QString English::atTime() const {
    return QStringLiteral("At");
}
QString English::everyDay() const {
    return QStringLiteral("every day");
}
QString English::remindMe() const {
    return QStringLiteral("Remind me");
}
QString English::remindersEmpty() const {
    return QStringLiteral("Nothing yet. Your kitty will bring a note when it's time 🐾");
}
QString English::delete_() const {
    return QStringLiteral("Delete");
}
QString English::tomorrow(const QString& t) const {
    return QStringLiteral("tomorrow ") + t;
}
QString English::reminderTitle() const {
    return QStringLiteral("⏰ reminder");
}
QString English::newVersion() const {
    return QStringLiteral("🎁 new version");
}
QString English::update() const {
    return QStringLiteral("Update");
}
QString English::done() const {
    return QStringLiteral("Done ✓");
}
QString English::updateReady(const QString& t) const {
    return QStringLiteral("Kitty ") + t +
           QStringLiteral(" is out: I got even better! Update now? It takes a few seconds");
}
QString English::updateFailed(const QString& t) const {
    return QStringLiteral("The update didn't work 😿 The new version is waiting for you at ") + t;
}
QString English::enableShellExtension(bool installed) const {
    const QString how = QStringLiteral(
        "I can only walk on the floor here 🐾 To let me climb onto your windows, turn on "
        "the “Purrlox” extension in the Extensions app, or run: gnome-extensions enable "
        "purrlox@purrlox.app");
    if (installed) return how;
    return how + QStringLiteral(". GNOME finds a new extension only after you log out and "
                                "back in, so the first time, log in again before turning it on.");
}
QString English::trayNeedsAppIndicator() const {
    return QStringLiteral(
        "My paw can't show in the top bar yet: turn on the “Purrlox” extension (gnome-extensions "
        "enable purrlox@purrlox.app) or the AppIndicator one (package "
        "gnome-shell-extension-appindicator). Until then, start Purrlox again and its menu "
        "opens 😺");
}
QString English::welcome(bool updates) const {
    return QStringLiteral(
               "Hello, I'm your Purrlox cat! 🐾 My menu opens from the paw in the system tray; "
               "where there is no tray, start Purrlox again and the menu opens. You can pick me "
               "up and carry me anywhere. Files dropped on me go to the Trash, and \"Put back\" "
               "brings them home. ") +
           (updates ? QStringLiteral("I now open at login and check for updates daily: the "
                                     "switches \"Open at login\" and \"Check for updates\" are "
                                     "in the menu.")
                    : QStringLiteral("I now open at login: the switch \"Open at login\" is in "
                                     "the menu."));
}
QString English::yum() const {
    return QStringLiteral("Yum! 😋");
}
QString English::inTrash(const QString& t) const {
    return QStringLiteral("“") + t + QStringLiteral("” is in the Trash");
}
QString English::filesInTrash(int n) const {
    return QString::number(n) + QStringLiteral(" files are in the Trash");
}
QString English::putBack() const {
    return QStringLiteral("Put back");
}
QString English::cantPutBack(const QString& t) const {
    return QStringLiteral("Couldn't put back “") + t + QStringLiteral("”");
}
QString English::cantTrash(const QString& t) const {
    return QStringLiteral("Couldn't move “") + t + QStringLiteral("” to the Trash");
}
QString English::dailyGoalReached() const {
    return QStringLiteral("Daily goal reached! 🎯");
}
QString English::pomodorosInARow(int n) const {
    return QString::number(n) + QStringLiteral(" pomodoros in a row! 🔥");
}
QString English::addedToBank(const QString& t) const {
    return QStringLiteral("+") + t + QStringLiteral(" in the bank 🎉");
}
QString English::weekReportTitle() const {
    return QStringLiteral("🐾 your week");
}
QString English::dayReportTitle() const {
    return QStringLiteral("🐾 your day");
}
QString English::thisWeekGreeting(const QString& t) const {
    return QStringLiteral("Hi! This week you were in focus for ") + t +
           QStringLiteral(". Here's where the time went:");
}
QString English::lastWeekGreeting(const QString& t) const {
    return QStringLiteral("Hi! Last week you were in focus for ") + t +
           QStringLiteral(". Here's where the time went:");
}
QString English::todayGreeting(const QString& t) const {
    return QStringLiteral("Hi! Today you were in focus for ") + t +
           QStringLiteral(". Here's where the time went:");
}
QString English::yesterdayGreeting(const QString& t) const {
    return QStringLiteral("Hi! Yesterday you were in focus for ") + t +
           QStringLiteral(". Here's where the time went:");
}
QString English::bestDayNote(const QString& a, const QString& b) const {
    return QStringLiteral("🏆 Best day: ") + a + QStringLiteral(", ") + b;
}
QString English::runInARow(int n) const {
    return QString::number(n) + QStringLiteral(" in a row");
}
QString English::goalReached(const QString& t) const {
    return QStringLiteral("🎯 Goal of ") + t + QStringLiteral(" reached!");
}
QString English::goalProgress(const QString& a, const QString& b) const {
    return QStringLiteral("🎯 Goal: ") + a + QStringLiteral(" of ") + b;
}
QString English::stats() const {
    return QStringLiteral("📊 Stats");
}
QString English::focusToday(const QString& t) const {
    return QStringLiteral("today ") + t;
}
QString English::forStories() const {
    return QStringLiteral("📸 For stories");
}
QString English::asPDF() const {
    return QStringLiteral("📄 As PDF");
}
QString English::noStreak() const {
    return QStringLiteral("🔥 No streak yet");
}
QString English::firstPomodoro() const {
    return QStringLiteral("Your first pomodoro lights the fire");
}
QString English::dayMissedThisWeek() const {
    return QStringLiteral("❄\uFE0F One day missed this week");
}
QString English::oneMissForgiven() const {
    return QStringLiteral("❄\uFE0F One missed day a week is forgiven");
}
QString English::today() const {
    return QStringLiteral("Today");
}
QString English::goal() const {
    return QStringLiteral("🎯 Goal");
}
QString English::goalDone() const {
    return QStringLiteral("🎯 Goal ✓");
}
QString English::week() const {
    return QStringLiteral("Week");
}
QString English::statsEmpty() const {
    return QStringLiteral("Nothing yet. Start a pomodoro and your kitty will start counting 🐾");
}
QString English::sittingAverage(const QString& a, const QString& b) const {
    // A no-break space keeps the number on the line of its word.
    return QStringLiteral("From Start to Stop: ") + a + QStringLiteral(" on average, ") + b +
           QStringLiteral("\u00A0pomodoros");
}
QString English::myWeekInFocus() const {
    return QStringLiteral("My week in focus");
}
QString English::exportName() const {
    return QStringLiteral("Purrlox week");
}
QString English::weekInFocus() const {
    return QStringLiteral("A week in focus");
}
QString English::totalInFocus() const {
    return QStringLiteral("Total in focus");
}
QString English::pomodorosTitle() const {
    return QStringLiteral("Pomodoros");
}
QString English::daysInFocus() const {
    return QStringLiteral("Days in focus");
}
QString English::ofSeven(int n) const {
    return QString::number(n) + QStringLiteral(" of 7");
}
QString English::currentStreak() const {
    return QStringLiteral("Current streak");
}
QString English::bestDay() const {
    return QStringLiteral("Best day");
}
QString English::dailyAverage() const {
    return QStringLiteral("Daily average");
}
QString English::activitiesThisWeek() const {
    return QStringLiteral("Activities this week");
}
QString English::folderKind() const {
    return QStringLiteral("Folder");
}
QString English::fileKind() const {
    return QStringLiteral("File");
}
QString English::fileOfType(const QString& t) const {
    return t + QStringLiteral(" File");
}
QString English::driveKind() const {
    return QStringLiteral("Drive");
}
QString English::percent(int n) const {
    return QString::number(n) + QStringLiteral("%");
}
QString English::focusDaysOfWeek(int n) const {
    return QStringLiteral("📅 In focus ") + QString::number(n) + QStringLiteral(" of 7 days");
}

QString English::days(int n) const {
    return n == 1 ? QStringLiteral("1 day") : QString::number(n) + QStringLiteral(" days");
}

QString English::pomodoros(int n) const {
    return n == 1 ? QStringLiteral("1 pomodoro")
                  : QString::number(n) + QStringLiteral(" pomodoros");
}

QString English::streak(int n) const {
    return QStringLiteral("🔥 ") + days(n) + QStringLiteral(" in a row");
}

QString English::moreActivities(int n) const {
    return n == 1 ? QStringLiteral("1 more activity")
                  : QString::number(n) + QStringLiteral(" more activities");
}

QString English::duration(int m) const {
    return hoursAndMinutes(m, QStringLiteral(" h"), QStringLiteral(" min"));
}

QStringList English::weekdays() const {
    return {QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
            QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"),
            QStringLiteral("Sun")};
}

// "7–13 December", "30 November – 6 December", "28 December 2026 – 3 January 2027": the repeated
// month and year are shown once, as an interval formatter would.
QString English::dateSpan(QDate from, QDate to, bool year) const {
    if (to < from) std::swap(from, to);
    const QLocale english(QLocale::English);
    const auto dayMonth = [&](QDate d) {
        return QString::number(d.day()) + QLatin1Char(' ') + english.monthName(d.month());
    };
    const auto yearOf = [](QDate d) { return QLatin1Char(' ') + QString::number(d.year()); };
    const QString tail = year ? yearOf(to) : QString();
    if (from == to) return dayMonth(to) + tail;
    if (from.year() != to.year())
        return dayMonth(from) + (year ? yearOf(from) : QString()) + QStringLiteral(" – ") +
               dayMonth(to) + tail;
    if (from.month() != to.month())
        return dayMonth(from) + QStringLiteral(" – ") + dayMonth(to) + tail;
    return QString::number(from.day()) + QStringLiteral("–") + dayMonth(to) + tail;
}
