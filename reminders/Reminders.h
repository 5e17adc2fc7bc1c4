#pragma once

#include "platform/StoredArray.h"
#include "reminders/Reminder.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

class Clock;

// The reminder list: always sorted by due time (stable, so equal times keep their order),
// stored under "reminders", checked once a second. A save that fails is tried again; the
// list stays in memory until one works.
class Reminders : public QObject {
    Q_OBJECT

  public:
    static constexpr const char* key = "reminders";
    // A daily reminder is never due farther ahead than one day and a daylight-saving hour.
    static constexpr qint64 farthestDaily = 86400 + 3600; // seconds

    Reminders(SettingsStore& defaults, Clock& clock, QObject* parent = nullptr);

    const QList<Reminder>& list() const { return list_; }
    void insert(const Reminder& reminder);
    void remove(const QUuid& id);
    // The one-second timer's step (the timer runs while there is a reminder): hands every due
    // reminder to onDue, then drops one-shot ones and moves daily ones to their next occurrence;
    // changes onDue made to the list stay.
    void check();
    bool timerActive() const { return timer_.isActive(); }
    // Writes the list if a failed save left it unsaved (the quit path); true when it is on disk
    // (or nothing may be written in this run).
    bool flush();

    // When the reminder is due, seen at `now` by a check that last ran at `since`: its stored
    // time, but for a daily one stored farther ahead than farthestDaily its first hour and
    // minute after `since`. Nothing is stored: a clock set back never moves a stored time.
    static QDateTime dueAt(const Reminder& reminder, const QDateTime& now, const QDateTime& since);
    // The first moment after `now` with the wall-clock hour and minute of `at`.
    static QDateTime nextOccurrence(const QDateTime& at, const QDateTime& now);

    std::function<void(const Reminder&)> onDue = [](const Reminder&) {};

  signals:
    void listChanged();

  private:
    void load();
    void save();
    void setList(QList<Reminder> list);
    // Runs the one-second timer while the list holds a reminder.
    void followList();
    // The stored list changed on disk since it was read or written here: take what is there
    // and apply this run's changes by id. False when nothing may be written.
    bool mergeFromDisk();

    StoredArray storage_;
    Clock& clock_;
    QList<Reminder> list_;
    QList<Reminder> saved_; // the list as last read or written
    QDateTime lastCheck_;
    QDateTime steppedBack_;                          // the check that last found the clock set back
    static constexpr int settleAfterStepBack = 3600; // seconds
    QTimer timer_;
};
