#pragma once

#include <QPointF>

// The system pointer in y-up points.
class Pointer {
  public:
    virtual ~Pointer() = default;
    virtual QPointF location() const = 0;
    virtual bool anyButtonPressed() const = 0;
    virtual bool leftButtonPressed() const = 0;
    // Moves the pointer; our own warps never count as user input.
    virtual void warp(QPointF to) = 0;
};
