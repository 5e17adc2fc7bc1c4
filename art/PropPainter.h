#pragma once

#include "art/Pose.h"

#include <QPointF>

class QPainter;
class QPainterPath;
class QColor;
class QImage;

// The cat's things: the letter, its treat, the bed and the gadgets it uses in bed.
class PropPainter {
  public:
    explicit PropPainter(QPainter& painter) : p(painter) {}

    // The bed's back rim and cushion, drawn behind the cat; top is the canvas y of the bed
    // image's top edge (48 on a cat canvas, 0 on the empty bed's own image).
    void bedBack(double top);
    // The bed's front rim, drawn over the cat.
    void bedFront(double top);
    void letter(QPointF centre, double degrees);
    void treat(QPointF centre, double degrees);
    // Things held in the paws: phone, laptop, and the mug unless it goes over the paw.
    void held(const Pose& pose, bool withMug);
    // What the paw holds from behind, drawn after it: the mug.
    void inPaw(const Pose& pose);
    // Light effects drawn last: steam, music notes, a heart.
    void overlays(const Pose& pose);
    // Headphones, in head coordinates.
    void headphones();

    // Canvas y of the empty bed image's top edge on a cat canvas.
    static constexpr double bedTop = 48;

  private:
    static const QImage& bedLayer(bool front);
    static void drawBedBack(QPainter& p);
    static void drawBedFront(QPainter& p);
    void outlined(const QPainterPath& path, const QColor& fill, double width = 2.0);
    void heart(QPointF centre, double size, const QColor& fill);
    void phone(const Pose& pose);
    void laptop(const Pose& pose);
    void mug(const Pose& pose);

    QPainter& p;
};
