#pragma once

#include "strings/Language.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Every text the user sees, one implementation per interface language. All texts are
// compiled in; members are pure functions of their arguments (dateSpan reads only the calendar).
class Strings {
  public:
    virtual ~Strings() = default;

    // Menu window and language screen.
    virtual QString languageName() const = 0;
    virtual QString language() const = 0;
    virtual QString sameAsSystem() const = 0;
    virtual QString later() const = 0;
    virtual QString openAtLogin() const = 0;
    virtual QString allowInLoginItems() const = 0;
    virtual QString quit() const = 0;
    virtual QString back() const = 0;
    virtual QString checkForUpdates() const = 0;
    // The minute steppers' "−" and "+" as a screen reader names them; t is the row's title.
    virtual QString fewerMinutes(const QString& t) const = 0;
    virtual QString moreMinutes(const QString& t) const = 0;

    // The tray icon's context menu; t is the time left in the pomodoro's clock format.
    virtual QString openApp() const = 0;
    virtual QString startFocus() const = 0;
    virtual QString stopFocus(const QString& t) const = 0;
    // The command line's and status bars' report: t is the time left, a the activity (empty
    // during a break).
    virtual QString focusStatus(bool working, const QString& t, const QString& a) const = 0;
    virtual QString timerOff() const = 0;
    virtual QString notRunning() const = 0;

    // Pomodoro.
    virtual QString pomodoro() const = 0;
    virtual QString working() const = 0;
    virtual QString work() const = 0;
    virtual QString breakTime() const = 0;
    virtual QString start() const = 0;
    virtual QString stop() const = 0;
    virtual QString activityPlaceholder() const = 0;
    virtual QString defaultActivity() const = 0;
    virtual QString minutes(int n) const = 0;
    virtual QString backToWork() const = 0;
    virtual QString breakLeft(const QString& t) const = 0;

    // Reminders. nextReminder gets the time description, then the text; tomorrow a clock time.
    virtual QString reminders() const = 0;
    virtual QString noReminders() const = 0;
    virtual QString nextReminder(const QString& a, const QString& b) const = 0;
    virtual QString reminderPlaceholder() const = 0;
    virtual QString inSomeTime() const = 0;
    virtual QString atTime() const = 0;
    virtual QString everyDay() const = 0;
    virtual QString remindMe() const = 0;
    virtual QString remindersEmpty() const = 0;
    virtual QString delete_() const = 0;
    virtual QString tomorrow(const QString& t) const = 0;

    // Letters. updateReady gets the version number, updateFailed the site's host name.
    virtual QString reminderTitle() const = 0;
    virtual QString newVersion() const = 0;
    virtual QString update() const = 0;
    virtual QString done() const = 0;
    virtual QString updateReady(const QString& t) const = 0;
    virtual QString updateFailed(const QString& t) const = 0;
    // GNOME: the Shell extension that shows the cat the windows is off (installed) or not
    // known to the Shell yet; the paw's tray needs the AppIndicator extension.
    virtual QString enableShellExtension(bool installed) const = 0;
    virtual QString trayNeedsAppIndicator() const = 0;
    // The first start's letter: where the paw is, picking the cat up, feeding it files, and
    // what the first start switched on (updates only where the app updates itself).
    virtual QString welcome(bool updates) const = 0;

    // Eaten files.
    virtual QString yum() const = 0;
    virtual QString inTrash(const QString& t) const = 0;
    virtual QString filesInTrash(int n) const = 0;
    virtual QString putBack() const = 0;
    virtual QString cantPutBack(const QString& t) const = 0;
    // A dropped file that could not go to the Trash and stays where it was.
    virtual QString cantTrash(const QString& t) const = 0;

    // Cheers and focus reports.
    virtual QString dailyGoalReached() const = 0;
    virtual QString pomodorosInARow(int n) const = 0;
    virtual QString addedToBank(const QString& t) const = 0;
    virtual QString weekReportTitle() const = 0;
    virtual QString dayReportTitle() const = 0;
    virtual QString thisWeekGreeting(const QString& t) const = 0;
    virtual QString lastWeekGreeting(const QString& t) const = 0;
    virtual QString todayGreeting(const QString& t) const = 0;
    virtual QString yesterdayGreeting(const QString& t) const = 0;
    virtual QString bestDayNote(const QString& a, const QString& b) const = 0;
    virtual QString runInARow(int n) const = 0;
    virtual QString goalReached(const QString& t) const = 0;
    virtual QString goalProgress(const QString& a, const QString& b) const = 0;

    // Statistics screen.
    virtual QString stats() const = 0;
    virtual QString focusToday(const QString& t) const = 0;
    virtual QString forStories() const = 0;
    virtual QString asPDF() const = 0;
    virtual QString noStreak() const = 0;
    virtual QString firstPomodoro() const = 0;
    virtual QString dayMissedThisWeek() const = 0;
    virtual QString oneMissForgiven() const = 0;
    virtual QString today() const = 0;
    virtual QString goal() const = 0;
    virtual QString goalDone() const = 0;
    virtual QString week() const = 0;
    virtual QString statsEmpty() const = 0;
    virtual QString sittingAverage(const QString& a, const QString& b) const = 0;

    // Story card and PDF; exportName names the exported files.
    virtual QString myWeekInFocus() const = 0;
    virtual QString exportName() const = 0;
    virtual QString weekInFocus() const = 0;
    virtual QString totalInFocus() const = 0;
    virtual QString pomodorosTitle() const = 0;
    virtual QString daysInFocus() const = 0;
    virtual QString ofSeven(int n) const = 0;
    virtual QString currentStreak() const = 0;
    virtual QString bestDay() const = 0;
    virtual QString dailyAverage() const = 0;
    virtual QString activitiesThisWeek() const = 0;
    // The kinds of entries in Qt's save dialog, which Qt's catalogues of some languages leave
    // out; fileOfType gets the file name's suffix.
    virtual QString folderKind() const = 0;
    virtual QString fileKind() const = 0;
    virtual QString fileOfType(const QString& t) const = 0;
    virtual QString driveKind() const = 0;

    // Counts and durations. Numbers are plain digits without grouping.
    virtual QString percent(int n) const = 0;
    virtual QString days(int n) const = 0;
    virtual QString pomodoros(int n) const = 0;
    virtual QString streak(int n) const = 0;
    virtual QString focusDaysOfWeek(int n) const = 0;
    virtual QString moreActivities(int n) const = 0;
    // Whole minutes as "1 h 5 min", with ordinary spaces (callers wrap it in nbsp()).
    virtual QString duration(int m) const = 0;
    // Short weekday names, Monday first.
    virtual QStringList weekdays() const = 0;
    // The days from `from` to `to`, both shown (for example a week).
    virtual QString dateSpan(QDate from, QDate to, bool year) const = 0;

  protected:
    // "45 min", "2 h", "1 h 5 min" with the language's units.
    static QString hoursAndMinutes(int m, const QString& hours, const QString& mins);
};

// The table of the language in force, chosen once from Lang::current() and never replaced.
const Strings& S();

// The table of a given language, e.g. for showing each language's own name.
const Strings& stringsFor(Language language);

// Replaces ordinary spaces by no-break spaces (U+00A0) so that a text never wraps.
QString nbsp(QString text);
