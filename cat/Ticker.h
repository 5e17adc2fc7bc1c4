#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// The frame clock: calls its action once per display refresh on the main thread. While the
// picture stands still, or changes more slowly than the display (a walk), it may rest: after
// each frame it asks how long nothing is due, sleeps that long, and goes back to the display
// rate at once when woken.
class Ticker : public QObject {
    Q_OBJECT
  public:
    Ticker(std::function<void()> action, double refreshRate, QObject* parent = nullptr);
    void fire();
    // A new display rate (a new screen mode, another primary screen): from the next frame on.
    void setRefreshRate(double refreshRate);
    // Back to the display rate: the next frame comes within one frame interval of the last.
    void wake();

    bool resting() const { return resting_; }
    // Milliseconds from the last frame (or from the last wake) to the next, as now scheduled.
    int interval() const { return timer.interval(); }
    int frameInterval() const { return frameMs_; }
    double refreshRate() const { return 1000.0 / frameMs_; }

    std::function<void()> action;
    // Seconds after a frame that nothing is due; at most a frame keeps the display rate, more
    // sleeps to that moment (a walk's next picture). Empty: never rest.
    std::function<double()> restFor;

  private:
    QTimer timer;
    QElapsedTimer sinceFire_;
    int frameMs_ = 17;
    bool resting_ = false;
};
