#pragma once

#include "cat/DesktopWindow.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"

#include <QVarLengthArray>
#include <QtGlobal>
#include <optional>
#include <vector>

class WindowList;

// Walkable pieces of a window's top edge, left to right. Small; lives on the stack.
using Pieces = QVarLengthArray<Span, 16>;

// The desktop as the cat sees it: the monitors (read on a change notice, never per frame), the
// windows it can stand on (the last poll), and the geometry over both: floors, the walkable
// pieces of window tops, which monitor a point is on. Pure answers; no state of the cat.
class Desktop {
  public:
    // At most this many monitors are used; more are left out, with a log line.
    static constexpr int maxMonitors = 8;
    // The floor stands this far above a monitor's visible bottom.
    static constexpr double floorLift = 12;

    Desktop(Screens& screens, WindowList& windowList, qint64 ownPid);

    // Reads the monitors anew, drops the unusable ones (one log line for what was odd), and
    // makes the next poll ask the window list again. True when the layout changed.
    bool readMonitors();
    // The usable monitors, the primary first. Empty when there is no screen.
    const std::vector<Monitor>& monitors() const { return monitors_; }
    bool hasScreen() const { return !monitors_.empty(); }
    // The primary's visible frame (a zero rectangle without a screen).
    Rect primaryVisible() const;
    // The monitor whose visible frame's x range holds x (the first one listed on a tie), else
    // -1. Monitors above one another share an x: the one whose floor is nearest below y wins.
    int monitorUnder(double x, double y) const;
    // The monitor under x, else the nearest one in x; 0 (the primary) without monitors.
    int monitorNear(double x, double y) const;
    // The visible frame and floor of the monitor near (x, y).
    Rect visibleNear(double x, double y) const;
    double floorNear(double x, double y) const;
    // x moved inside that monitor's visible frame, `margin` points in from its edges.
    double clampInto(int monitor, double x, double margin) const;

    // Floors of monitors side by side within this many points of one another run on across
    // their seam as one.
    static constexpr double levelTolerance = 4;
    // A step up to a neighbour's floor this high or less is hopped; a higher one is a face at
    // the seam, climbed like a window's when the monitor below shows the whole climb, up to
    // this far above the higher floor; else a wall.
    static constexpr double hopUp = 60;
    static constexpr double climbHeadroom = 150;
    // A step up is taken from this far inside the floor's end, the cat wholly on its monitor.
    static constexpr double stepStandoff = 48;
    // The floor of a monitor (its visible bottom + floorLift); 0 without that monitor.
    double floorOf(int monitor) const;
    // The x range of the floor the cat walks on from that monitor: its own floor, joined across
    // every seam to neighbours whose floors are level with it. Empty without that monitor.
    Span floorRun(int monitor) const;
    // What lies past one end of a floor run, at the height of its floor.
    struct Beyond {
        enum class Kind {
            open, // no monitor shows it: the cat walks out of sight there
            down, // a lower floor the cat falls onto
            up,   // a higher floor, hopped or climbed onto
            wall, // a higher floor out of reach
        };
        Kind kind = Kind::open;
        int monitor = -1; // the neighbour, when there is one
    };
    Beyond beyond(int monitor, bool right) const;
    // The face at an end of a floor run where the floor beyond is a climb up (Beyond::up, more
    // than a hop): a window-like face at the seam, on the lower monitor's side, whose top is the
    // higher floor. Its id is never a window's; find() knows it while the layout stands.
    const DesktopWindow* stepFace(int monitor, bool right) const;
    static bool isStepFace(quint32 id) { return id >= firstFaceId; }
    // Where a cat that climbed a step face steps onto the higher floor; nullopt for any other id.
    std::optional<double> acrossFace(quint32 id) const;

    // The window list, filtered to what the cat can stand on, front-most first. Asks the
    // window server only when its list or the monitors changed.
    void poll();
    const std::vector<DesktopWindow>& windows() const { return windows_; }
    const DesktopWindow* find(quint32 id) const;
    // The window list changed since the last poll read it.
    bool listChanged() const;
    // The window server's list filtered, fresh (not cached).
    std::vector<DesktopWindow> freshWindows() const;

    // The pieces of w's top the cat can walk on: shown by a monitor, not covered by a window
    // in front, at least 60 points wide. Empty when w is not in the last poll.
    Pieces visibleTop(const DesktopWindow& w) const;
    std::optional<Span> visibleSpan(const DesktopWindow& w, double x) const;
    // The nearest point to `near` at least 20 points inside a piece of w's top.
    std::optional<double> standingSpot(const DesktopWindow& w, double near) const;

  private:
    // The x range a monitor shows of a top edge at height y: its visible frame's width when
    // y lies within it (with one monitor, always: the top is clipped sideways only).
    bool shows(const Monitor& m, double y) const;
    void findFaces();

    // Ids from here up are step faces; window servers hand out small numbers.
    static constexpr quint32 firstFaceId = 0xFFFFFF00u;
    struct Face {
        DesktopWindow window;
        bool right = false; // at the right end of the lower floor's run
        double across = 0;  // the first standing spot on the higher floor
    };

    Screens& screens;
    WindowList& windowList;
    qint64 ownPid;
    std::vector<Monitor> monitors_;
    std::vector<DesktopWindow> windows_;
    std::vector<Face> faces_;
    quint64 windowGeneration = ~quint64(0);
    bool layoutChanged = true;
};
