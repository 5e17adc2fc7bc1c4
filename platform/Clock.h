#pragma once

#include <QDateTime>

// Wall-clock dates and a monotonic clock that stands still while the machine sleeps.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Seconds on CLOCK_MONOTONIC (does not advance during suspend).
    virtual double monotonic() const = 0;
    // Seconds on CLOCK_BOOTTIME: runs on through suspend, and like the monotonic clock is
    // never set. What measures a period of the clock on the wall without its steps.
    virtual double boottime() const = 0;
    // now() as seconds since 2001-01-01 UTC. Hot paths use this: a local QDateTime consults
    // the zone database on every read.
    virtual double seconds() const;

    static Clock& system();
};
