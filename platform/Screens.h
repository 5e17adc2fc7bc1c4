#pragma once

#include "platform/Geometry.h"

// The primary screen: its full frame and its visible frame (the work area), in y-up points.
class Screens {
  public:
    virtual ~Screens() = default;
    virtual bool hasScreen() const = 0;
    virtual Rect frame() const = 0;         // zero rectangle when there is no screen
    virtual Rect visibleFrame() const = 0;  // zero rectangle when there is no screen
    virtual double refreshRate() const = 0; // frames per second
};
