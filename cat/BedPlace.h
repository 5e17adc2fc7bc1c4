#pragma once

#include "platform/Geometry.h"

#include <QPointF>
#include <QSizeF>
#include <memory>
#include <optional>

class Panel;
class Screens;
class Settings;

// The bed where it stands: its panel, its spot (the middle of its bottom edge, in y-up global
// points), kept inside the visible frame and on the floor it stands on, saved where the user
// put it, and dragged by the user (the empty bed's own panel, or the bed with the cat in it).
// Main thread only; the screens and the settings must outlive it.
class BedPlace {
  public:
    BedPlace(Screens& screens, Settings& settings);
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
    // `p` moved inside the visible frame, never below its floor.
    QPointF clamped(QPointF p) const;
    // The bed stands on the floor of the visible frame.
    bool onFloor() const;
    // Where the cat walks to jump in from `catX`: 55 points beside the bed, on its side.
    double approachX(double catX) const;

    // The screen or its work area changed: a bed on the floor follows the floor, and the
    // panel is set again even when the spot reads the same. The saved spot stays.
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
    Rect visible() const;
    double floorY() const;
    void setSpot(QPointF p); // clamped, and remembers the floor it was measured against
    void fitPanel();
    void save();

    Screens& screens;
    Settings& settings;
    std::unique_ptr<Panel> panel;
    QPointF spot_;
    QSizeF size_{96, 48};               // the empty bed's image, in points
    double floor = 12;                  // the floor the spot was last measured against
    std::optional<QPointF> grab_;       // where the bed was grabbed, from its spot
    std::optional<QPointF> grabbedFrom; // where it stood, until the drag really starts
};
