#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class Clock;
class Settings;
class FocusLog;

// The work/rest timer. Its periods are measured on the boot clock, which runs on while the
// machine sleeps and is never set: setting the wall clock neither stretches nor cuts a period
// (the wall-clock end it shows moves with the clock). While a work period runs it books focus
// time into the focus log, never more than the monotonic clock saw pass, so time asleep never
// counts as focus.
class Pomodoro : public QObject {
    Q_OBJECT

  public:
    struct Phase {
        enum class Kind { off, work, rest };
        Kind kind = Kind::off;
        QDateTime until; // end of a work or rest period

        static Phase off() { return {}; }
        static Phase work(QDateTime until) { return {Kind::work, std::move(until)}; }
        static Phase rest(QDateTime until) { return {Kind::rest, std::move(until)}; }
        bool isOff() const { return kind == Kind::off; }
        bool operator==(const Phase&) const = default;
    };

    static constexpr const char* workKey = "pomodoroWorkMinutes";
    static constexpr const char* breakKey = "pomodoroBreakMinutes";
    static constexpr const char* activityKey = "pomodoroActivity";
    static constexpr int longestPeriod = 10000; // minutes
    static const QList<int>& workChoices();
    static const QList<int>& breakChoices();

    // Stops itself (booking the open stretch) when the application is about to quit.
    Pomodoro(Settings& defaults, Clock& clock, FocusLog& log, QObject* parent = nullptr);

    const Phase& phase() const { return phase_; }
    const QDateTime& now() const { return now_; }
    const QDateTime& sitting() const { return sitting_; }
    // Seconds left in the running period at the last tick, never negative; none while off.
    std::optional<double> remaining() const;
    bool timerActive() const { return timer_.isActive(); }

    int workMinutes() const { return workMinutes_; }
    void setWorkMinutes(int minutes);
    int breakMinutes() const { return breakMinutes_; }
    void setBreakMinutes(int minutes);
    QString activity() const { return activity_; }
    void setActivity(const QString& name);

    void start(); // does nothing unless off
    // The one-second timer's step: books time and passes every period that ended, whole
    // missed cycles in one step, so a clock set years ahead costs no more than one period.
    void tick();
    // Ends the sitting; also the operation for a clean exit of the application.
    void stop();

    std::function<void(const Phase&)> onChange = [](const Phase&) {};

  signals:
    void phaseChanged();
    void nowChanged();
    void workMinutesChanged(int minutes);
    void breakMinutesChanged(int minutes);
    void activityChanged(const QString& name);

  private:
    void count(const QDateTime& date);
    void walkEndedPeriods();
    void openStretch();
    void setPhase(Phase phase);

    Settings& defaults_;
    Clock& clock_;
    FocusLog& log_;
    Phase phase_;
    QDateTime now_;
    QDateTime sitting_;
    double uptime_ = 0; // the monotonic clock at the last tick
    double boot_ = 0;   // the boot clock at the last tick
    double end_ = 0;    // the running period's end on the boot clock
    int workMinutes_ = 25;
    int breakMinutes_ = 5;
    QString activity_;
    QTimer timer_;
};
