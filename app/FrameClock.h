#pragma once

#include "app/Ticker.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

// A precise main-thread timer firing a Ticker at the primary screen's refresh rate.
class FrameClock final : public QObject {
    Q_OBJECT
  public:
    FrameClock(double refreshRate, std::unique_ptr<Ticker> ticker, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }
    std::chrono::milliseconds interval() const { return timer_.intervalAsDuration(); }

    // Whole milliseconds between frames for a rate; unusable rates fall back to 60 Hz.
    static std::chrono::milliseconds intervalFor(double refreshRate);

  private:
    std::unique_ptr<Ticker> ticker_;
    QTimer timer_;
};
