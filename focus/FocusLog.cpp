#include "focus/FocusLog.h"

#include "base/Calendar.h"
#include "base/Log.h"
#include "focus/StretchCoding.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "strings/Strings.h"

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

FocusLog::FocusLog(SettingsStore& defaults, Clock& clock, QObject* parent)
    : QObject(parent), defaults_(&defaults), clock_(clock),
      storage_(std::make_unique<StoredArray>(
          defaults, QLatin1String(logKey),
          StoredArray::Voice{
              QStringLiteral("the focus log"),
              QStringLiteral("it stays as it is and no stretch is saved in this run"),
              QStringLiteral("it changed on disk and cannot be read")},
          [this] { save(); })) {
    load();
    if (const std::optional<qint64> goal = defaults.integer(QLatin1String(goalKey)))
        goalMinutes_ = int(*goal);
    timer_.setInterval(reportInterval);
    connect(&timer_, &QTimer::timeout, this, &FocusLog::checkReport);
    timer_.start();
}

FocusLog::~FocusLog() {
    flush();
    if (loader_.joinable()) loader_.join();
}

FocusLog::FocusLog(Clock& clock, QList<Stretch> stretches, QObject* parent)
    : QObject(parent), clock_(clock), stretches_(std::move(stretches)) {}

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
        unsaved_.push_back(s);
        unsavedBytes_.push_back(StretchCoding::toBytes(*encoded));
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
