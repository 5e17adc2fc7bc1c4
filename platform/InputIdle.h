#pragma once

// Seconds since the user's last input. Only times are kept, never key codes.
class InputIdle {
  public:
    virtual ~InputIdle() = default;
    virtual double secondsSinceAnyInput() const = 0;
    virtual double secondsSinceKeyDown() const = 0;
    virtual double secondsSinceMouseMoved() const = 0;
};
