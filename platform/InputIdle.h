#pragma once

#include <functional>

// Seconds since the user's last input. Only times are kept, never key codes.
class InputIdle {
  public:
    virtual ~InputIdle() = default;
    virtual double secondsSinceAnyInput() const = 0;
    virtual double secondsSinceKeyDown() const = 0;
    virtual double secondsSinceMouseMoved() const = 0;

    // Called on the main thread when the pointer moves or a button goes down or up, so a
    // resting frame clock can wake for it.
    std::function<void()> onPointer;
    // Called on the main thread on a key press, by backends that say so here; the others are
    // asked once a second.
    virtual bool notifiesKeys() const { return false; }
    std::function<void()> onKey;
};
