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

double seconds(qint64 msecs) {
    return double(msecs) / 1000.0;
}

// Wall and boot clocks read a moment apart, and the wall clock is slewed by the network: a
// difference below this between their steps is no setting of the clock.
constexpr double clockStepTolerance = 0.5;

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
    return std::max(0.0, end_ - boot_);
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
    const double b = clock_.boottime();
    if (phase_.kind == Phase::Kind::work) {
        // Time passed on the boot clock up to the period's end, and no more than the monotonic
        // clock saw: time asleep never counts, and the wall clock's steps play no part.
        const double passed = std::min(b, end_) - boot_;
        log_.count(std::max(0.0, std::min(passed, u - uptime_)));
    }
    // The wall clock was set: the running period keeps its length, so its end moves with it.
    const double step = double(now_.msecsTo(date)) / 1000.0 - (b - boot_);
    if (!phase_.isOff() && std::abs(step) > clockStepTolerance) {
        Phase moved = phase_;
        moved.until = phase_.until.addMSecs(qint64(std::llround(step * 1000.0)));
        setPhase(std::move(moved));
    }
    uptime_ = u;
    boot_ = b;
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
    boot_ = clock_.boottime();
    if (now != now_) {
        now_ = now;
        emit nowChanged();
    }
    sitting_ = now_;
    setActivity(log_.canonical(activity_));
    end_ = boot_ + seconds(periodMSecs(workMinutes_));
    setPhase(Phase::work(now_.addMSecs(periodMSecs(workMinutes_))));
    onChange(phase_);
    openStretch();
    timer_.start();
}

void Pomodoro::walkEndedPeriods() {
    // Periods end on the boot clock; their wall-clock ends follow, for what is shown and booked.
    for (;;) {
        if (phase_.kind == Phase::Kind::work && boot_ >= end_) {
            log_.finish(true);
            const qint64 rest = periodMSecs(breakMinutes_);
            end_ += seconds(rest);
            setPhase(Phase::rest(phase_.until.addMSecs(rest)));
        } else if (phase_.kind == Phase::Kind::rest && boot_ >= end_) {
            // Whole cycles that ended since are skipped in one step: their work periods had
            // nothing counted, so each would open a stretch and drop it again.
            const qint64 work = periodMSecs(workMinutes_);
            const qint64 cycle = work + periodMSecs(breakMinutes_);
            const qint64 skipped = qint64(std::floor((boot_ - end_) / seconds(cycle)));
            end_ += seconds(skipped * cycle + work);
            setPhase(Phase::work(phase_.until.addMSecs(skipped * cycle + work)));
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
