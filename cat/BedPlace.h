#pragma once

#include "platform/Geometry.h"

#include <QPointF>
#include <QSizeF>
#include <memory>
#include <optional>

class Desktop;
class Panel;
class Settings;

// The bed where it stands: its panel, its spot (the middle of its bottom edge, in y-up global
// points), kept inside the visible frame of the monitor it stands on and on that floor, saved
// where the user put it, and dragged by the user (the empty bed's own panel, or the bed with
// the cat in it). Main thread only; the desktop and the settings must outlive it.
class BedPlace {
  public:
    BedPlace(const Desktop& desktop, Settings& settings);
    ~BedPlace();

    // Takes the panel the factory made (sized to the empty bed's image), stands it at the
    // saved spot, or in the bottom-right corner, and shows it. A null panel means no bed.
    void setPanel(std::unique_ptr<Panel> made);
    // Lets the panel go before the parts it reports to.
    void closePanel();
    bool exists() const { return panel != nullptr; }
    // The empty bed shows; the cat's frames draw it while the cat lies in it.
    void show();
    void hide();

    QPointF spot() const { return spot_; }
    QSizeF size() const { return size_; }
    // The panel's frame; none without a bed.
    std::optional<Rect> frame() const;
    // The panel's frame while the empty bed shows.
    std::optional<Rect> shownFrame() const;
    // `p` moved inside the visible frame of the monitor nearest it, never below its floor.
    QPointF clamped(QPointF p) const;
    // The bed stands on the floor of its monitor.
    bool onFloor() const;
    // Where the cat walks to jump in from `catX`: 55 points beside the bed, on its side.
    double approachX(double catX) const;

    // The monitors or their work areas changed: a bed on the floor follows the floor, and the
    // panel is set again even when the spot reads the same. A bed whose monitor went away
    // stands in the primary's corner until that monitor is back; the saved spot stays.
    void keepOnScreen();

    // The cat lies in it and the user presses the bed's strip at `at`.
    void grab(QPointF at);
    // Where the bed was grabbed, from its spot, while it is held.
    std::optional<QPointF> grabbedAt() const { return grab_; }
    // A drag event while grabbed: true when the bed moved (past the click threshold).
    bool drag(QPointF to);
    // The release after a grab: the panel follows and a real drag is saved; true when the
    // bed moved.
    bool place();
    // The user dragged the empty bed's panel itself: true when it moved (and was saved).
    bool panelMoved();
    // Let go where no jump reaches it: the bed comes down onto the surface at height y
    // below it, and is saved there.
    void settleOnto(double y);

  private:
    // The visible frame of the monitor nearest p, and its floor.
    Rect visibleAt(QPointF p) const;
    Rect visible() const { return visibleAt(spot_); }
    double floorY() const;
    QPointF corner() const; // the primary's bottom-right corner
    std::optional<QPointF> savedSpot() const;
    void setSpot(QPointF p); // clamped, and remembers the floor it was measured against
    void fitPanel();
    void save();

    const Desktop& desktop;
    Settings& settings;
    std::unique_ptr<Panel> panel;
    QPointF spot_;
    QSizeF size_{96, 48};               // the empty bed's image, in points
    double floor = 12;                  // the floor the spot was last measured against
    std::optional<QPointF> grab_;       // where the bed was grabbed, from its spot
    std::optional<QPointF> grabbedFrom; // where it stood, until the drag really starts
    bool displaced = false;             // in the primary's corner while its monitor is away
    std::size_t monitorsSeen = 0;       // at the last look, to tell a monitor gone
};
