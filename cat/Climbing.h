#pragma once

#include "cat/DesktopWindow.h"

#include <QtGlobal>
#include <optional>

class CatOverlay;
class Random;

// The cat's way around the windows: which face to climb and which top to hop to, where a fall
// lands, the window it let go of and falls past, whether the window under it (or the face it
// holds) still carries it, and when it next feels like climbing. It reads the desktop through
// the overlay's geometry of the last window poll; points are y-up global points.
class Climbing {
  public:
    Climbing(const CatOverlay& desktop, Random& random) : desktop(desktop), random(random) {}

    // The hop onto a top (or into the bed) reaches this far up or down; farther means
    // climbing a face.
    static constexpr double hopReach = 60;
    // A face is climbed from feet height only when it reaches down there, its bottom within
    // a hop of the feet (40 points); a higher one floats, and the cat climbs no thin air.
    static bool faceReaches(const Rect& face, double feetY) { return face.minY() <= feetY + 40; }

    // A window and a spot: where to start climbing it, or where to take off for it.
    struct Target {
        DesktopWindow window;
        double x;
    };
    // The front-most window worth climbing whose face reaches down to the floor (a floating
    // one is never climbed through the air below it), and a spot below a piece of its top
    // wider than 100 points, 50 points in from the piece's ends.
    std::optional<Target> climbTarget();
    // A top to hop to from `from` for a cat standing at x, within 350 points of the end of the
    // cat's piece that faces it; the take-off spot is 20 points in from that end. A top more
    // than a hop higher needs its face to reach down level with the cat, one more than a hop
    // lower needs the cat's own face to reach down to it.
    std::optional<Target> transferTarget(const DesktopWindow& from, double x);

    // What a cat falling at (x, feetY) lands on: the highest top under it at most a point
    // above its feet, not too close to the top of the screen and not the window it fell past;
    // else the floor.
    struct Surface {
        double y;
        std::optional<DesktopWindow> window;
    };
    Surface landingSurface(double x, double feetY) const;

    // Let go of that window: it falls past its top.
    void letGo(quint32 window) { fallingPast_ = window; }
    // Landed (or picked up and dropped): no window is passed any more.
    void landed() { fallingPast_.reset(); }
    std::optional<quint32> fallingPast() const { return fallingPast_; }

    // What became of the window the cat stands on (onTop) or holds on to, as the last poll has
    // it: it still carries the cat, carries it to a new spot (a resize under a standing cat
    // within 40 points of it), or is gone, moved or covered there: the cat falls.
    struct Footing {
        enum class Kind { holds, ride, fall };
        Kind kind = Kind::holds;
        DesktopWindow window; // ride: the window as it is now
        double x = 0;         // ride: the spot
    };
    Footing footing(const DesktopWindow& held, bool onTop, double x) const;

    // The climb timer: a climb (or, up on a window, getting down) is due from then on.
    void climbAt(double when) { nextClimb_ = when; }
    double nextClimb() const { return nextClimb_; }
    // Due now: true, and the next climb 25 … 60 s later.
    bool climbDue(double now);

  private:
    const DesktopWindow* find(quint32 id) const;

    const CatOverlay& desktop;
    Random& random;
    std::optional<quint32> fallingPast_;
    double nextClimb_ = 0;
};
