#include "reminders/Reminders.h"

#include "base/Calendar.h"
#include "base/Log.h"
#include "platform/Clock.h"
#include "platform/StoredDate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

void sortByDue(QList<Reminder>& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const Reminder& a, const Reminder& b) { return a.at < b.at; });
}

std::optional<QList<Reminder>> decode(const QByteArray& bytes, QString* error) {
    const std::optional<QJsonArray> stored = StoredArray::parse(bytes, error);
    if (!stored) return std::nullopt;
    QList<Reminder> list;
    const QJsonArray& array = *stored;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject o = array[i].toObject();
        const QUuid id = QUuid::fromString(o.value(QLatin1String("id")).toString());
        QString wrong;
        if (!array[i].isObject())
            wrong = QStringLiteral("is not an object");
        else if (id.isNull())
            wrong = QStringLiteral("has no valid \"id\"");
        else if (!o.value(QLatin1String("text")).isString())
            wrong = QStringLiteral("has no \"text\" string");
        else if (!o.value(QLatin1String("at")).isDouble())
            wrong = QStringLiteral("has no \"at\" number");
        else if (!o.value(QLatin1String("daily")).isBool())
            wrong = QStringLiteral("has no \"daily\" boolean");
        if (!wrong.isEmpty()) {
            *error = QStringLiteral("element %1 %2").arg(i).arg(wrong);
            return std::nullopt;
        }
        list.push_back({id, o.value(QLatin1String("text")).toString(),
                        StoredDate::fromSeconds(o.value(QLatin1String("at")).toDouble()).toUTC(),
                        o.value(QLatin1String("daily")).toBool()});
    }
    return list;
}

std::optional<QByteArray> encode(const QList<Reminder>& list, QString* error) {
    QJsonArray array;
    for (const Reminder& r : list) {
        const double at = StoredDate::toSeconds(r.at);
        if (!r.at.isValid() || !std::isfinite(at)) {
            *error = QStringLiteral("a reminder has no valid due date");
            return std::nullopt;
        }
        array.append(
            QJsonObject{{QStringLiteral("id"), r.id.toString(QUuid::WithoutBraces).toUpper()},
                        {QStringLiteral("text"), r.text},
                        {QStringLiteral("at"), at},
                        {QStringLiteral("daily"), r.daily}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

Reminders::Reminders(SettingsStore& defaults, Clock& clock, QObject* parent)
    : QObject(parent),
      storage_(defaults, QLatin1String(key),
               {QStringLiteral("reminders"),
                QStringLiteral("the stored list stays as it is and no change is saved in this run"),
                QStringLiteral("the stored list changed on disk and cannot be read")},
               [this] { save(); }),
      clock_(clock) {
    load();
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &Reminders::check);
    followList();
}

void Reminders::followList() {
    // An empty list has nothing to check: its timer would wake a sitting cat every second.
    if (list_.isEmpty()) {
        timer_.stop();
        return;
    }
    if (timer_.isActive()) return;
    // The checks go on from where an empty list's would have left them: seeing the clock.
    const QDateTime now = clock_.now();
    if (lastCheck_.isValid()) {
        if (now < lastCheck_) steppedBack_ = now;
        lastCheck_ = now;
    }
    timer_.start();
}

void Reminders::load() {
    const std::optional<QByteArray> bytes = storage_.load();
    if (!bytes) return;
    QString error;
    if (std::optional<QList<Reminder>> decoded = decode(*bytes, &error)) {
        list_ = std::move(*decoded); // as stored, not re-sorted
        saved_ = list_;
        return;
    }
    storage_.damaged(error);
}

void Reminders::save() {
    storage_.save(
        [this]() -> std::optional<QByteArray> {
            QString error;
            std::optional<QByteArray> bytes = encode(list_, &error);
            if (!bytes) Log::error(QStringLiteral("cannot save reminders: %1").arg(error));
            return bytes;
        },
        [this] { return mergeFromDisk(); }, [this] { saved_ = list_; });
}

bool Reminders::flush() {
    if (!storage_.failing()) return true;
    save();
    if (!storage_.failing()) return true;
    Log::error(QStringLiteral("cannot save reminders: the last changes are not on disk"));
    return false;
}

namespace {

QList<Reminder> withId(const QList<Reminder>& list, const QUuid& id) {
    QList<Reminder> out;
    for (const Reminder& r : list)
        if (r.id == id) out.push_back(r);
    return out;
}

} // namespace

bool Reminders::mergeFromDisk() {
    const SettingsStore::DataFile file = storage_.readChanged();
    if (!storage_.changed(file)) return false;
    const SettingsStore::DataRead& r = file.read;
    QList<Reminder> merged;
    if (r.status == SettingsStore::DataRead::Status::read) {
        QString error;
        std::optional<QList<Reminder>> decoded = decode(r.bytes, &error);
        // Someone left a damaged list: keep it beside ours rather than merge into it.
        if (!decoded) return storage_.damaged(error);
        merged = std::move(*decoded);
    }
    const QList<Reminder> disk = merged;
    // What is on disk wins, except for the reminders inserted, changed or removed here since
    // the last save, matched by id.
    QList<QUuid> ids;
    for (const QList<Reminder>* l : {&saved_, &list_})
        for (const Reminder& x : *l)
            if (!ids.contains(x.id)) ids.push_back(x.id);
    for (const QUuid& id : std::as_const(ids)) {
        const QList<Reminder> mine = withId(list_, id);
        if (mine == withId(saved_, id)) continue;
        merged.removeIf([&](const Reminder& x) { return x.id == id; });
        merged.append(mine);
    }
    sortByDue(merged);
    Log::notice(QStringLiteral("reminders: the stored list changed on disk; this run's changes "
                               "are merged into it"));
    saved_ = disk; // until the merge is written, the disk still holds the other version
    setList(std::move(merged));
    return true;
}

void Reminders::setList(QList<Reminder> list) {
    if (list == list_) return;
    list_ = std::move(list);
    followList();
    emit listChanged();
}

void Reminders::insert(const Reminder& reminder) {
    QList<Reminder> list = list_;
    list.push_back(reminder);
    sortByDue(list);
    setList(std::move(list));
    save();
}

void Reminders::remove(const QUuid& id) {
    QList<Reminder> list = list_;
    list.removeIf([&](const Reminder& r) { return r.id == id; });
    setList(std::move(list));
    save();
}

// A daily time that falls into a daylight-saving gap is due at the end of the gap. Taking
// the next day's time from that would move the reminder for good (02:30 becoming 03:00),
// so the due date keeps the chosen time in its milliseconds: one more than the minutes
// from the start of the gap. Dates the user sets have none.
namespace {

// The wall-clock time just before the transition at `end` (the start of its gap).
QTime gapStart(const QDateTime& end) {
    return end.addMSecs(-1).toLocalTime().time().addMSecs(1);
}

std::optional<QTime> chosenInGap(const QDateTime& at) {
    const int marker = at.toUTC().time().msec();
    if (marker < 1) return std::nullopt;
    const QDateTime end = at.addMSecs(-marker);
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QTimeZone::OffsetData transition = zone.nextTransition(end.addMSecs(-1));
    if (!transition.atUtc.isValid() || transition.atUtc != end) return std::nullopt;
    const int gap = zone.offsetFromUtc(end) - zone.offsetFromUtc(end.addMSecs(-1));
    if ((marker - 1) * 60 >= gap) return std::nullopt;
    return gapStart(end).addSecs((marker - 1) * 60);
}

} // namespace

QDateTime Reminders::nextOccurrence(const QDateTime& at, const QDateTime& now) {
    const QTime face = chosenInGap(at).value_or(at.toLocalTime().time());
    const QDateTime next = Calendar::nextAt(now, face.hour(), face.minute());
    const QTime got = next.toLocalTime().time();
    if (got.hour() == face.hour() && got.minute() == face.minute()) return next;
    return next.addMSecs(1 + gapStart(next).secsTo(QTime(face.hour(), face.minute())) / 60);
}

QDateTime Reminders::dueAt(const Reminder& r, const QDateTime& now, const QDateTime& since) {
    // A daily reminder is never due farther ahead than a day: one that is was moved while the
    // clock stood far ahead, or the clock stands far behind now. Either way it is due at its
    // first hour and minute after the last check, and its stored time stays: a clock set back
    // for a moment finds it where it was once it is right again.
    if (r.daily && r.at > now.addSecs(farthestDaily)) return nextOccurrence(r.at, since);
    return r.at;
}

void Reminders::check() {
    const QDateTime now = clock_.now();
    if (lastCheck_.isValid() && now < lastCheck_) steppedBack_ = now;
    QDateTime since = lastCheck_.isValid() ? lastCheck_ : now.addMSecs(-1);
    // A clock set back may be set right again in a moment: a daily reminder far ahead of it
    // follows it only once it has stood for a while, or a blip would deliver it twice.
    if (steppedBack_.isValid()) since = std::max(since, steppedBack_.addSecs(settleAfterStepBack));
    lastCheck_ = now;
    QList<Reminder> due;
    for (const Reminder& r : std::as_const(list_))
        if (dueAt(r, now, since) <= now) due.push_back(r);
    if (due.isEmpty()) return;
    for (const Reminder& r : std::as_const(due))
        onDue(r);
    // onDue may have changed the list: advance only the delivered reminders that are still
    // there as they were, by id, in the list as it is now.
    QList<Reminder> next = list_;
    for (const Reminder& r : std::as_const(due)) {
        const qsizetype i = next.indexOf(r);
        if (i < 0) continue;
        if (r.daily)
            next[i].at = nextOccurrence(r.at, now);
        else
            next.removeAt(i);
    }
    sortByDue(next);
    setList(std::move(next));
    save();
}
