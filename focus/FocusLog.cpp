#include "focus/FocusLog.h"

#include "base/Log.h"
#include "focus/Calendar.h"
#include "focus/StretchCoding.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "strings/Strings.h"

#include <algorithm>
#include <cmath>

const QList<int>& FocusLog::goalChoices() {
    static const QList<int> choices = [] {
        QList<int> c;
        for (int m = 30; m <= 480; m += 30)
            c << m;
        return c;
    }();
    return choices;
}

const QString& FocusLog::defaultActivity() {
    static const QString name = S().defaultActivity();
    return name;
}

FocusLog::FocusLog(Defaults& defaults, Clock& clock, QObject* parent)
    : QObject(parent), defaults_(&defaults), clock_(clock) {
    load();
    if (const std::optional<qint64> goal = defaults.integer(QLatin1String(goalKey)))
        goalMinutes_ = int(*goal);
    timer_.setInterval(reportInterval);
    connect(&timer_, &QTimer::timeout, this, &FocusLog::checkReport);
    timer_.start();
}

FocusLog::FocusLog(Clock& clock, QList<Stretch> stretches, QObject* parent)
    : QObject(parent), clock_(clock), stretches_(std::move(stretches)) {}

void FocusLog::load() {
    const QString key = QLatin1String(logKey);
    const Defaults::DataRead r = defaults_->readData(key);
    if (r.status == Defaults::DataRead::Status::absent) return;
    if (r.status == Defaults::DataRead::Status::failed) {
        // Not damaged, only unreadable now: it stays in place and is never saved over.
        Log::error(QStringLiteral("cannot read the focus log: %1; it stays as it is and no "
                                  "stretch is saved in this run")
                       .arg(r.error));
        return;
    }
    QString error;
    if (std::optional<QList<Stretch>> decoded = StretchCoding::decode(r.bytes, &error)) {
        stretches_ = std::move(*decoded);
        encoded_ = StretchCoding::elements(r.bytes);
        return;
    }
    Log::error(QStringLiteral("cannot read the focus log: %1").arg(error));
    defaults_->keepAsideData(key);
}

void FocusLog::save() {
    if (!persists()) return;
    const QString key = QLatin1String(logKey);
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (defaults_->writeData(key, '[' + encoded_ + ']')) {
        case Defaults::DataWrite::written:
            unsaved_.clear();
            return;
        case Defaults::DataWrite::refused: // not loaded: the file on disk is never replaced
            return;
        case Defaults::DataWrite::failed:
            Log::error(QStringLiteral("cannot save the focus log: the file could not be written"));
            return;
        case Defaults::DataWrite::changedOnDisk:
            if (!mergeFromDisk()) return;
            break;
        }
    }
    Log::error(QStringLiteral("cannot save the focus log: the file keeps changing on disk"));
}

namespace {

// Stretches are never edited: when and in which sitting one started, and on what, is enough.
bool sameStretch(const FocusStretch& a, const FocusStretch& b) {
    return a.start == b.start && a.sitting == b.sitting && a.activity == b.activity;
}

} // namespace

bool FocusLog::mergeFromDisk() {
    const QString key = QLatin1String(logKey);
    const Defaults::DataRead r = defaults_->readData(key);
    if (r.status == Defaults::DataRead::Status::failed) {
        Log::error(QStringLiteral("cannot save the focus log: it changed on disk and cannot be "
                                  "read (%1)")
                       .arg(r.error));
        return false;
    }
    QList<Stretch> disk;
    QByteArray encoded;
    if (r.status == Defaults::DataRead::Status::read) {
        QString error;
        std::optional<QList<Stretch>> decoded = StretchCoding::decode(r.bytes, &error);
        if (!decoded) {
            // Someone left a damaged log: keep it beside ours rather than merge into it.
            Log::error(QStringLiteral("cannot read the focus log: %1").arg(error));
            return !defaults_->keepAsideData(key).isEmpty();
        }
        disk = std::move(*decoded);
        encoded = StretchCoding::elements(r.bytes);
    }
    // What is on disk wins; the stretches finished here since the last save join it.
    qsizetype added = 0;
    for (const Stretch& s : std::as_const(unsaved_)) {
        const bool there = std::any_of(disk.cbegin(), disk.cend(),
                                       [&](const Stretch& d) { return sameStretch(d, s); });
        if (there) continue;
        QString ignored;
        if (!encoded.isEmpty()) encoded += ',';
        encoded += StretchCoding::toBytes(*StretchCoding::encode(s, &ignored));
        disk.push_back(s);
        ++added;
    }
    Log::notice(QStringLiteral("focus: the focus log changed on disk; %1 new stretch(es) added "
                               "to the %2 there")
                    .arg(added)
                    .arg(disk.size() - added));
    stretches_ = std::move(disk);
    encoded_ = std::move(encoded);
    index_.clear();
    emit stretchesChanged();
    return true;
}

void FocusLog::setCurrent(std::optional<Stretch> stretch) {
    if (current_ == stretch) return;
    current_ = std::move(stretch);
    emit currentChanged();
}

QList<FocusLog::Stretch> FocusLog::all() const {
    QList<Stretch> out = stretches_;
    if (current_) out.push_back(*current_);
    return out;
}

void FocusLog::setGoalMinutes(int minutes) {
    if (persists()) defaults_->setInteger(QLatin1String(goalKey), minutes);
    if (minutes == goalMinutes_) return;
    goalMinutes_ = minutes;
    emit goalMinutesChanged(minutes);
}

void FocusLog::count(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds) || !current_) return;
    const QDateTime now = clock_.now();
    const double before = day(now, 5).seconds;
    current_->seconds += seconds;
    // Measured rather than assumed: the open stretch may belong to yesterday.
    const double after = day(now, 5).seconds;
    emit currentChanged();
    const double goal = goalMinutes_ * 60.0;
    if (before < goal && goal <= after) onCheer(S().dailyGoalReached());
}

void FocusLog::finish(bool natural) {
    if (!current_) return;
    Stretch s = std::move(*current_);
    current_.reset();
    emit currentChanged();
    if (s.seconds < 1) return;
    if (natural) {
        s.completed = s.seconds >= s.planned - 5;
        if (s.completed) s.seconds = s.planned;
    } else {
        s.completed = false;
    }
    QString error;
    const std::optional<QJsonObject> encoded = StretchCoding::encode(s, &error);
    stretches_.push_back(s);
    index_.add(s, stretches_.size() - 1);
    if (encoded) {
        if (!encoded_.isEmpty()) encoded_ += ',';
        encoded_ += StretchCoding::toBytes(*encoded);
        unsaved_.push_back(s);
        save();
    } else {
        Log::error(QStringLiteral("cannot save the focus log: %1").arg(error));
    }
    emit stretchesChanged();
    Log::info(QStringLiteral("focus: %1 s of %2, completed: %3")
                  .arg(qint64(s.seconds))
                  .arg(Log::priv(s.activity),
                       s.completed ? QStringLiteral("true") : QStringLiteral("false")));
    if (s.completed) {
        const int run = trailingRun(stretches_);
        if (run >= 2) onCheer(S().pomodorosInARow(run));
    }
}

int FocusLog::trailingRun(const QList<Stretch>& stretches) {
    if (stretches.isEmpty()) return 0;
    const QDateTime sitting = stretches.last().sitting;
    int run = 0;
    for (qsizetype i = stretches.size() - 1; i >= 0; --i) {
        if (stretches[i].sitting != sitting || !stretches[i].completed) break;
        ++run;
    }
    return run;
}

void FocusLog::endSitting(const QDateTime& sitting) {
    double sum = 0;
    for (const Stretch& s : stretches_)
        if (s.sitting == sitting) sum += s.seconds;
    if (sum < 60) return;
    const int minutes = int(std::round(sum / 60));
    onCheer(S().addedToBank(nbsp(S().duration(minutes))));
}

QString FocusLog::canonical(const QString& name) const {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return defaultActivity();
    const QString lower = trimmed.toLower();
    for (qsizetype i = stretches_.size() - 1; i >= 0; --i)
        if (stretches_[i].activity.toLower() == lower) return stretches_[i].activity;
    return trimmed;
}

QStringList FocusLog::recent(int n) const {
    QStringList names;
    for (qsizetype i = stretches_.size() - 1; i >= 0 && names.size() < n; --i)
        if (!names.contains(stretches_[i].activity)) names << stretches_[i].activity;
    return names;
}
