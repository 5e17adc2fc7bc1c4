#pragma once

#include "platform/Geometry.h"

// A floating panel that the engine moves (the cat's, the bed's). Frames in y-up points.
class Panel {
  public:
    virtual ~Panel() = default;
    virtual Rect frame() const = 0;
    virtual void setFrame(const Rect& frame) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
};
