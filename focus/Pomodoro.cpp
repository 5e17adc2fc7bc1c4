#include "focus/Pomodoro.h"

#include "focus/FocusLog.h"
#include "platform/Clock.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

// Any whole number of minutes is taken, also one the pickers do not offer; a period of no
// time (or less) would make the timer walk through periods forever, so it is not.
int storedMinutes(const Settings& defaults, const char* key, int fallback) {
    const std::optional<qint64> m = defaults.integer(QLatin1String(key));
    return m && *m >= 1 && *m <= Pomodoro::longestPeriod ? int(*m) : fallback;
}

qint64 periodMSecs(int minutes) {
    return qint64(std::clamp(minutes, 1, Pomodoro::longestPeriod)) * 60000;
}

} // namespace

const QList<int>& Pomodoro::workChoices() {
    static const QList<int> choices = [] {
        QList<int> c{1};
        for (int m = 5; m <= 90; m += 5)
            c << m;
        return c;
    }();
    return choices;
}

const QList<int>& Pomodoro::breakChoices() {
    static const QList<int> choices = [] {
        QList<int> c;
        for (int m = 1; m <= 30; ++m)
            c << m;
        return c;
    }();
    return choices;
}

Pomodoro::Pomodoro(Settings& defaults, Clock& clock, FocusLog& log, QObject* parent)
    : QObject(parent), defaults_(defaults), clock_(clock), log_(log), now_(clock.now()),
      sitting_(now_) {
    workMinutes_ = storedMinutes(defaults, workKey, 25);
    breakMinutes_ = storedMinutes(defaults, breakKey, 5);
    activity_ = defaults.text(QLatin1String(activityKey)).value_or(FocusLog::defaultActivity());
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &Pomodoro::tick);
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            stop();
            log_.flush(); // the booked stretch is on disk before the process ends
        });
}

std::optional<double> Pomodoro::remaining() const {
    if (phase_.isOff()) return std::nullopt;
    return std::max(0.0, double(now_.msecsTo(phase_.until)) / 1000.0);
}

void Pomodoro::setWorkMinutes(int minutes) {
    defaults_.setInteger(QLatin1String(workKey), minutes);
    if (minutes == workMinutes_) return;
    workMinutes_ = minutes;
    emit workMinutesChanged(minutes);
}

void Pomodoro::setBreakMinutes(int minutes) {
    defaults_.setInteger(QLatin1String(breakKey), minutes);
    if (minutes == breakMinutes_) return;
    breakMinutes_ = minutes;
    emit breakMinutesChanged(minutes);
}

void Pomodoro::setActivity(const QString& name) {
    defaults_.setText(QLatin1String(activityKey), name);
    if (name == activity_) return;
    activity_ = name;
    emit activityChanged(name);
}

void Pomodoro::setPhase(Phase phase) {
    if (phase == phase_) return;
    phase_ = std::move(phase);
    emit phaseChanged();
}

void Pomodoro::count(const QDateTime& date) {
    const double u = clock_.monotonic();
    if (phase_.kind == Phase::Kind::work) {
        const QDateTime e = std::min(phase_.until, date);
        const double wall = double(now_.msecsTo(e)) / 1000.0;
        const double monotonic = u - uptime_;
        log_.count(std::max(0.0, std::min(wall, monotonic)));
    }
    uptime_ = u;
    if (now_ != date) {
        now_ = date;
        emit nowChanged();
    }
}

void Pomodoro::openStretch() {
    FocusLog::Stretch s;
    s.activity = activity_;
    // Instants, so the calendar day follows a later change of time zone.
    s.start = clock_.now().toUTC();
    s.sitting = sitting_.toUTC();
    s.planned = double(periodMSecs(workMinutes_)) / 1000.0;
    log_.setCurrent(s);
}

void Pomodoro::start() {
    // A second start would replace the open stretch and lose its time.
    if (!phase_.isOff()) return;
    const QDateTime now = clock_.now();
    uptime_ = clock_.monotonic();
    if (now != now_) {
        now_ = now;
        emit nowChanged();
    }
    sitting_ = now_;
    setActivity(log_.canonical(activity_));
    setPhase(Phase::work(now_.addMSecs(periodMSecs(workMinutes_))));
    onChange(phase_);
    openStretch();
    timer_.start();
}

void Pomodoro::walkEndedPeriods() {
    for (;;) {
        if (phase_.kind == Phase::Kind::work && now_ >= phase_.until) {
            log_.finish(true);
            setPhase(Phase::rest(phase_.until.addMSecs(periodMSecs(breakMinutes_))));
        } else if (phase_.kind == Phase::Kind::rest && now_ >= phase_.until) {
            // Whole cycles that ended since are skipped in one step: their work periods had
            // nothing counted, so each would open a stretch and drop it again.
            const qint64 cycle = periodMSecs(workMinutes_) + periodMSecs(breakMinutes_);
            const qint64 skipped = phase_.until.msecsTo(now_) / cycle;
            const QDateTime restEnd = phase_.until.addMSecs(skipped * cycle);
            setPhase(Phase::work(restEnd.addMSecs(periodMSecs(workMinutes_))));
            openStretch();
        } else {
            return;
        }
    }
}

void Pomodoro::tick() {
    const Phase before = phase_;
    count(clock_.now());
    walkEndedPeriods();
    if (phase_ != before) onChange(phase_);
}

void Pomodoro::stop() {
    if (phase_.isOff()) return;
    timer_.stop();
    count(clock_.now());
    // A period that ended since the last tick finishes as it would have on that tick.
    walkEndedPeriods();
    log_.finish(false);
    setPhase(Phase::off());
    onChange(phase_);
    log_.endSitting(sitting_.toUTC());
}
