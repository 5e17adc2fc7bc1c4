#pragma once

#include "platform/Geometry.h"

#include <functional>

// The primary screen: its full frame and its visible frame (the work area), in y-up points.
class Screens {
  public:
    virtual ~Screens() = default;
    virtual bool hasScreen() const = 0;
    virtual Rect frame() const = 0;         // zero rectangle when there is no screen
    virtual Rect visibleFrame() const = 0;  // zero rectangle when there is no screen
    virtual double refreshRate() const = 0; // frames per second

    // Set by the app. Called once for each change of the screen or of its work area (changes
    // that arrive together make one call), after the cached frames were dropped.
    std::function<void()> onChanged;
};
