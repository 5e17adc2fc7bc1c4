#pragma once

#include "cat/Dangle.h"
#include "frames/CatSprite.h"

#include <QPointF>
#include <optional>
#include <vector>

class Random;

// The cat under the user's hand: picked up, carried swinging from the pointer and dropped;
// stroked, and the happy face after; the pop squash of a landing; a file dragged over it; and
// the pointer shaken near it. Dates are engine seconds, points are y-up global points.
class Holding {
  public:
    static constexpr double longPast = -63114076800.0; // year 1, as engine seconds

    explicit Holding(Random& random) : random(random) {}

    // Picked up with the pointer at `at`: the pendulum starts at rest.
    void pickUp(QPointF at, double now);
    // The pointer moved while the cat is held; a real move calms an angry cat.
    void carry(QPointF to, double now);
    // Let go: the tap that comes with the release is no tap.
    void drop(double now) { suppressTapUntil = now + 0.3; }
    bool ignoresTap(double now) const { return now < suppressTapUntil; }
    // One frame while held, heldFor seconds after the pick-up: swings the pendulum and returns
    // where the feet go, so the hang point is 4 points below the pointer (eased in at first).
    QPointF hang(QPointF feet, double now, double dt, double heldFor);
    const Dangle& dangle() const { return dangle_; }
    QPointF cursor() const { return cursor_; }

    // How the held cat is drawn: the frame, turned so its mass centre hangs straight below the
    // hang point and then swung, stretched, and anchored at the hang point.
    struct Pose {
        CatSprite sprite;
        double squash;
        double tilt;
        QPointF anchor;    // share of the canvas
        QPointF captionAt; // x from the canvas centre, height over the feet
    };
    Pose pose();

    // A stroke of dx points over the cat: true when the strokes of the last 1.2 s make a
    // petting gesture (40 points of travel with two turns).
    bool stroke(double dx, double now);
    // The stroking goes on (petting lasts 0.8 s past the last).
    void petted(double now) { lastStroke_ = now; }
    double lastStroke() const { return lastStroke_; }

    // The happy face (and its hearts) until then.
    void beHappyUntil(double until) { happyUntil_ = until; }
    bool happy(double now) const { return now < happyUntil_; }
    double happyUntil() const { return happyUntil_; }

    // The pop squash after a snack starts or ends, and after a landing.
    void pop(double now) { popStart_ = now; }
    double popStart() const { return popStart_; }
    bool popping(double now) const { return now - popStart_ < popSeconds; }
    static constexpr double popSeconds = 0.18;

    // A file is dragged over the cat: the mouth opens.
    void setDragHover(bool hovering) { dragHover_ = hovering; }
    bool dragHover() const { return dragHover_; }

    // Once per frame with the pointer's x: notices five long swings adding up to 700 points
    // within 0.7 s.
    void trackShake(double pointerX, double now);
    double shakenAt() const { return shakenAt_; }
    // Shaken within the last ten seconds: a hunt starts sooner.
    bool shaken(double now) const { return now - shakenAt_ < 10; }
    void forgetShake() { shakenAt_ = longPast; }

  private:
    struct Stroke {
        double time;
        double dx;
    };
    struct TrailPoint {
        double time;
        double x;
    };

    Random& random;
    Dangle dangle_;
    QPointF cursor_;
    double suppressTapUntil = longPast;
    std::vector<Stroke> strokes;
    double lastStroke_ = longPast;
    double happyUntil_ = longPast;
    double popStart_ = longPast;
    bool dragHover_ = false;
    std::vector<TrailPoint> cursorTrail;
    double shakenAt_ = longPast;

    // Caches that keep the frame step free of allocation.
    double trailTravel = 0;                 // the pointer's horizontal travel over cursorTrail
    std::optional<CatSprite> uprightSprite; // the held frame uprightTilt belongs to
    double uprightTilt = 0;
};
