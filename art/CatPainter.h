#pragma once

#include "art/Pose.h"

#include <QPointF>

class QPainter;
class QPainterPath;
class QColor;

// Draws the cat of one pose onto a painter set up in canvas points (96 x 96, y down).
class CatPainter {
  public:
    explicit CatPainter(QPainter& painter) : p(painter) {}

    void paint(const Pose& pose);

    // Canvas point of a spot given in head coordinates (origin at the head's centre).
    static QPointF onHead(const Pose& pose, QPointF local);
    // Canvas point of a spot given in body coordinates (origin at the body's centre).
    static QPointF onBody(const Pose& pose, QPointF local);

  private:
    void tail(const Pose& pose);
    void leg(const Pose& pose, QPointF hip, QPointF paw, bool far);
    void body(const Pose& pose);
    void ears(const Pose& pose);
    void head(const Pose& pose);
    void eyes(const Pose& pose);
    void mouth(const Pose& pose);
    void outlined(const QPainterPath& path, const QColor& fill);

    QPainter& p;
};
