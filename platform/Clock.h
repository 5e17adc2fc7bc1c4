#pragma once

#include <QDateTime>

// Wall-clock dates and a monotonic clock that stands still while the machine sleeps.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Seconds on CLOCK_MONOTONIC (does not advance during suspend).
    virtual double monotonic() const = 0;

    static Clock& system();
};
