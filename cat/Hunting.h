#pragma once

#include <QPointF>
#include <optional>

class InputIdle;
class Pointer;
class Random;
class Desktop;

// The still pointer as prey: when it is one, when the cat next goes hunting and how long a stalk
// may last, and the caught pointer held in the paw (warped along as the cat falls) until the
// user pulls it away. Dates are engine seconds, points are y-up global points.
class Hunting {
  public:
    Hunting(const Desktop& desktop, Pointer& pointer, InputIdle& idle, Random& random)
        : desktop(desktop), pointer(pointer), idle(idle), random(random) {}

    // The pointer, if it is prey for a cat with its feet at `feet`: on a monitor, no button
    // held, still for stillFor seconds, and more than 50 points from the cat's middle.
    std::optional<QPointF> prey(double stillFor, QPointF feet) const;
    // Prey worth a hunt now: once the hunt is due, a pointer still for 4 s; after a recent
    // shake, due or not, a quarter second. A hunt found sets the next one 120 … 300 s later
    // and starts the stalk's clock.
    std::optional<QPointF> huntNow(double now, bool shaken, QPointF feet);
    // A stalk gives up after six seconds.
    bool stalkedTooLong(double now) const { return now - stalkStart > 6; }

    // The paw of a cat with its feet at `feet`.
    static QPointF paw(QPointF feet, bool facingRight) {
        return QPointF(facingRight ? feet.x() + 15 : feet.x() - 15, feet.y() + 42);
    }
    // Puts the caught pointer at the paw and keeps it there.
    void holdPointer(QPointF paw);
    // The user pulled the held pointer more than 3 points away from the paw.
    bool pulledAway() const;
    void letPointerGo() { held.reset(); }
    const std::optional<QPointF>& heldPointer() const { return held; }

    // The hunt timer.
    void huntAt(double when) { nextHunt_ = when; }
    double nextHunt() const { return nextHunt_; }

  private:
    const Desktop& desktop;
    Pointer& pointer;
    InputIdle& idle;
    Random& random;
    double nextHunt_ = 0;
    double stalkStart = -63114076800.0; // year 1: long past
    std::optional<QPointF> held;        // where the paw holds the pointer
};
