#include "cat/BedPlace.h"

#include "base/Log.h"
#include "cat/Desktop.h"
#include "platform/Panel.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

const QString bedSpotKey = QStringLiteral("bedSpot");
// A press that moves the bed less than this (points) is a click, not a drag.
constexpr double dragThreshold = 4.0;

} // namespace

BedPlace::BedPlace(const Desktop& desktop, Settings& settings)
    : desktop(desktop), settings(settings) {}

BedPlace::~BedPlace() = default;

Rect BedPlace::visibleAt(QPointF p) const {
    return desktop.visibleNear(p.x(), p.y());
}

double BedPlace::floorY() const {
    return visible().minY() + 12;
}

QPointF BedPlace::corner() const {
    const Rect vf = desktop.primaryVisible();
    return QPointF(vf.maxX() - size_.width() / 2 - 20, vf.minY() + 12);
}

std::optional<QPointF> BedPlace::savedSpot() const {
    if (settings.raw(bedSpotKey).isUndefined()) return std::nullopt;
    const std::optional<QList<double>> xy = settings.realList(bedSpotKey);
    if (xy && xy->size() >= 2 && std::isfinite((*xy)[0]) && std::isfinite((*xy)[1]))
        return QPointF((*xy)[0], (*xy)[1]);
    return std::nullopt;
}

void BedPlace::setPanel(std::unique_ptr<Panel> made) {
    if (panel || !made) return;
    // The factory sizes the panel to the empty bed's image.
    const Rect size = made->frame();
    if (size.width > 0 && size.height > 0) size_ = QSizeF(size.width, size.height);

    monitorsSeen = desktop.monitors().size();
    QPointF spot = corner();
    if (const std::optional<QPointF> saved = savedSpot()) {
        // On a monitor that is not here today: with one monitor it stands as near as it can,
        // with more in the corner; either way it goes back when that monitor is here.
        displaced = desktop.monitorUnder(saved->x(), saved->y()) < 0;
        if (!displaced || desktop.monitors().size() < 2) spot = *saved;
    } else if (!settings.raw(bedSpotKey).isUndefined()) {
        Log::error(QStringLiteral("the saved bed spot is not two numbers; the bed stands in "
                                  "the corner"));
    }
    // A spot saved on another desktop is shown inside today's visible frame; the saved one stays
    // as the user left it.
    setSpot(spot);
    made->setFrame(
        Rect{spot_.x() - size_.width() / 2, spot_.y() - 4, size_.width(), size_.height()});
    panel = std::move(made);
    panel->show();
}

void BedPlace::closePanel() {
    panel.reset();
}

void BedPlace::show() {
    if (panel) panel->show(); // it keeps itself just below the cat's panel
}

void BedPlace::hide() {
    if (panel) panel->hide();
}

std::optional<Rect> BedPlace::frame() const {
    if (!panel) return std::nullopt;
    return panel->frame();
}

std::optional<Rect> BedPlace::shownFrame() const {
    if (!panel || !panel->isVisible()) return std::nullopt;
    return panel->frame();
}

QPointF BedPlace::clamped(QPointF p) const {
    const Rect v = visibleAt(p);
    const double w = size_.width();
    // The bed lives in the visible frame like the cat: never lower than the floor, so it does
    // not stand over a panel at the screen's bottom edge.
    const double floor = v.minY() + 12;
    // NaN never survives min/max in this order: the screen edges win.
    const double x = std::min(std::max(p.x(), v.minX() + w / 2), v.maxX() - w / 2);
    const double y = std::min(std::max(p.y(), floor), v.maxY() - 150 + 4);
    return QPointF(std::isfinite(x) ? x : v.maxX() - w / 2, std::isfinite(y) ? y : floor);
}

void BedPlace::setSpot(QPointF p) {
    spot_ = clamped(p);
    floor = floorY();
}

bool BedPlace::onFloor() const {
    return std::abs(spot_.y() - floorY()) < 0.5;
}

double BedPlace::approachX(double catX) const {
    const Rect vf = visible();
    const double side = catX < spot_.x() ? spot_.x() - 55 : spot_.x() + 55;
    return std::min(std::max(side, vf.minX() + 30), vf.maxX() - 30);
}

void BedPlace::fitPanel() {
    const Rect f = panel->frame();
    panel->setFrame(Rect{spot_.x() - f.width * 0.5, spot_.y() - 4, f.width, f.height});
}

void BedPlace::save() {
    // A bed on the floor is saved on the floor of its whole monitor: the next start lifts it
    // onto whatever floor the visible frame has then, with or without a panel at the bottom.
    double fullFloor = visible().minY() + 12;
    const int m = desktop.monitorNear(spot_.x(), spot_.y());
    if (m < int(desktop.monitors().size())) fullFloor = desktop.monitors()[m].frame.minY() + 12;
    settings.setRealList(bedSpotKey, {spot_.x(), onFloor() ? fullFloor : spot_.y()});
    displaced = false;
}

void BedPlace::keepOnScreen() {
    if (!panel) return;
    QPointF p = spot_;
    const std::optional<QPointF> saved = savedSpot();
    if (displaced && saved && desktop.monitors().size() > 1 &&
        desktop.monitorUnder(saved->x(), saved->y()) >= 0) {
        // Its monitor is back: so is the bed.
        displaced = false;
        monitorsSeen = desktop.monitors().size();
        setSpot(*saved);
        fitPanel();
        return;
    }
    // Fewer monitors and none under the bed: its own went away (a monitor that only shrank is
    // clamped into below, as before).
    const std::size_t count = desktop.monitors().size();
    const bool fewer = count < monitorsSeen;
    monitorsSeen = count;
    if (fewer && count > 0 && desktop.monitorUnder(p.x(), p.y()) < 0) {
        Log::notice(QStringLiteral("screens: the monitor under the bed went away; it stands in "
                                   "the primary's corner until it is back"));
        displaced = true;
        setSpot(corner());
        fitPanel();
        return;
    }
    // A bed on the floor stays on it: up over a panel that appeared, down where one went away.
    if (std::abs(p.y() - floor) < 0.5) p.setY(floorY());
    setSpot(p);
    // Set even when the spot reads the same: on a screen of a new height the same spot in the
    // cat's terms is elsewhere.
    fitPanel();
}

void BedPlace::grab(QPointF at) {
    grab_ = at - spot_;
    grabbedFrom = spot_;
}

bool BedPlace::drag(QPointF p) {
    if (!grab_) return false;
    const QPointF to = clamped(p - *grab_);
    if (grabbedFrom) {
        // Until the bed has gone past the drag threshold the press is a click: nothing moves.
        if (std::hypot(to.x() - grabbedFrom->x(), to.y() - grabbedFrom->y()) <= dragThreshold)
            return false;
        grabbedFrom.reset();
    }
    spot_ = to;
    return true;
}

bool BedPlace::place() {
    const bool click = grab_ && grabbedFrom;
    grab_.reset();
    grabbedFrom.reset();
    if (panel) fitPanel();
    // A press on the bed that never went past the drag threshold moved nothing: nothing to save.
    if (click) return false;
    floor = floorY();
    save();
    return true;
}

bool BedPlace::panelMoved() {
    if (!panel) return false;
    const Rect f = panel->frame();
    const QPointF to(f.midX(), f.minY() + 4);
    if (std::hypot(to.x() - spot_.x(), to.y() - spot_.y()) <= dragThreshold) {
        // A click, or a shaky one: the bed stays where it stood and nothing is saved.
        fitPanel();
        return false;
    }
    spot_ = clamped(to);
    return place();
}

void BedPlace::settleOnto(double y) {
    spot_ = clamped(QPointF(spot_.x(), y));
    floor = floorY();
    if (panel) fitPanel();
    save();
}
