#include "reminders/Reminders.h"

#include "base/Log.h"
#include "focus/Calendar.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/StoredDate.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
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
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        return std::nullopt;
    }
    if (!doc.isArray()) {
        *error = QStringLiteral("the document is not an array");
        return std::nullopt;
    }
    QList<Reminder> list;
    const QJsonArray array = doc.array();
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

Reminders::Reminders(Defaults& defaults, Clock& clock, QObject* parent)
    : QObject(parent), defaults_(defaults), clock_(clock) {
    load();
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &Reminders::check);
    timer_.start();
}

void Reminders::load() {
    const QString name = QLatin1String(key);
    const std::optional<QByteArray> bytes = defaults_.data(name);
    QString error;
    if (bytes) {
        if (std::optional<QList<Reminder>> decoded = decode(*bytes, &error)) {
            list_ = std::move(*decoded); // as stored, not re-sorted
            return;
        }
    } else if (QFileInfo::exists(defaults_.dataPath(name))) {
        // There but unreadable to us: never save over it.
        error = QStringLiteral("the file cannot be read");
    } else {
        return;
    }
    Log::error(QStringLiteral("cannot read reminders: %1").arg(error));
    if (defaults_.keepAsideData(name).isEmpty() && QFileInfo::exists(defaults_.dataPath(name)))
        saveBlocked_ = true;
}

void Reminders::save() {
    QString error;
    const std::optional<QByteArray> bytes = encode(list_, &error);
    if (!bytes) {
        Log::error(QStringLiteral("cannot save reminders: %1").arg(error));
        return;
    }
    if (saveBlocked_) {
        Log::error(QStringLiteral(
            "cannot save reminders: the unreadable stored list could not be kept aside"));
        return;
    }
    if (!defaults_.setData(QLatin1String(key), *bytes))
        Log::error(QStringLiteral("cannot save reminders: the file could not be written"));
}

void Reminders::setList(QList<Reminder> list) {
    if (list == list_) return;
    list_ = std::move(list);
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

void Reminders::check() {
    const QDateTime now = clock_.now();
    const auto isDue = [&](const Reminder& r) { return r.at <= now; };
    if (std::none_of(list_.cbegin(), list_.cend(), isDue)) return;
    const QList<Reminder> old = list_;
    for (const Reminder& r : old)
        if (isDue(r)) onDue(r);
    QList<Reminder> next;
    for (const Reminder& r : old) {
        if (!isDue(r)) {
            next.push_back(r);
        } else if (r.daily) {
            Reminder moved = r;
            moved.at = nextOccurrence(r.at, now);
            next.push_back(moved);
        }
    }
    sortByDue(next);
    setList(std::move(next));
    save();
}
