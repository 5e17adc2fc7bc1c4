// The bed itself: its panel, where it stands, dragging it, and the geometry the trips to it use.

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "frames/BedClip.h"
#include "platform/Panel.h"
#include "platform/Screens.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <cmath>

namespace {

const QString bedSpotKey = QStringLiteral("bedSpot");

} // namespace

double CatOverlay::bedHeadroom() {
    static const double headroom = [] {
        const auto room = [](CatSprite s) { return 96.0 - CatSprite::geometry(s).bounds.maxY(); };
        double least = room(CatSprite::bedLook1);
        const auto& clips = CatSprite::BedClip::bedClips();
        const int laptop = CatSprite::BedClip::bedClip(u"bed_laptop");
        for (int i = 0; i < int(clips.size()); ++i) {
            const auto& clip = clips[std::size_t(i)];
            if (i != laptop && clip.from != CatSprite::Hold::phone &&
                clip.to != CatSprite::Hold::phone)
                continue;
            for (const auto& pose : clip.poses)
                least = std::min(least, room(pose.sprite));
        }
        return least;
    }();
    return headroom;
}

void CatOverlay::makeBedPanel() {
    if (bedPanel || !sys.makeBedPanel) return;
    std::unique_ptr<Panel> made = sys.makeBedPanel(*this);
    if (!made) return;
    // The factory sizes the panel to the empty bed's image.
    const Rect size = made->frame();
    if (size.width > 0 && size.height > 0) bedSize = QSizeF(size.width, size.height);

    const Rect vf = screenFrame();
    QPointF spot(vf.maxX() - bedSize.width() / 2 - 20, vf.minY() + 12);
    const QJsonValue saved = sys.defaults.raw(bedSpotKey);
    if (!saved.isUndefined()) {
        const std::optional<QList<double>> xy = sys.defaults.realList(bedSpotKey);
        if (xy && xy->size() >= 2 && std::isfinite((*xy)[0]) && std::isfinite((*xy)[1]))
            spot = QPointF((*xy)[0], (*xy)[1]);
        else
            Log::error(QStringLiteral("the saved bed spot is not two numbers; the bed stands in "
                                      "the corner"));
    }
    // A spot saved on another desktop is shown inside today's visible frame; the saved one stays
    // as the user left it.
    setBedSpot(spot);
    made->setFrame(Rect{bedSpot.x() - bedSize.width() / 2, bedSpot.y() - 4, bedSize.width(),
                        bedSize.height()});
    bedPanel = std::move(made);
    bedPanel->show();
}

QPointF CatOverlay::clampedBedSpot(QPointF p) const {
    const Rect v = screenFrame();
    const double w = bedSize.width();
    // The bed lives in the visible frame like the cat: never lower than the floor, so it does
    // not stand over a panel at the screen's bottom edge.
    const double floor = v.minY() + 12;
    // NaN never survives min/max in this order: the screen edges win.
    const double x = std::min(std::max(p.x(), v.minX() + w / 2), v.maxX() - w / 2);
    const double y = std::min(std::max(p.y(), floor), v.maxY() - 150 + 4);
    return QPointF(std::isfinite(x) ? x : v.maxX() - w / 2, std::isfinite(y) ? y : floor);
}

void CatOverlay::setBedSpot(QPointF spot) {
    bedSpot = clampedBedSpot(spot);
    bedFloor = floorY();
}

bool CatOverlay::bedOnFloor() const {
    return std::abs(bedSpot.y() - floorY()) < 0.5;
}

void CatOverlay::saveBedSpot() {
    // A bed on the floor is saved on the floor of the whole screen: the next start lifts it
    // onto whatever floor the visible frame has then, with or without a panel at the bottom.
    const double fullFloor =
        (sys.screens.hasScreen() ? sys.screens.frame() : screenFrame()).minY() + 12;
    sys.defaults.setRealList(bedSpotKey, {bedSpot.x(), bedOnFloor() ? fullFloor : bedSpot.y()});
}

void CatOverlay::placeBed() {
    const bool click = bedGrab && bedGrabFrom;
    bedGrab.reset();
    bedGrabFrom.reset();
    if (bedPanel) {
        const Rect f = bedPanel->frame();
        bedPanel->setFrame(Rect{bedSpot.x() - f.width * 0.5, bedSpot.y() - 4, f.width, f.height});
    }
    // A press on the bed that never went past the drag threshold moved nothing: nothing to save.
    if (click) return;
    bedFloor = floorY();
    saveBedSpot();
}

void CatOverlay::bedPanelMoved() {
    if (!bedPanel) return;
    const Rect f = bedPanel->frame();
    const QPointF to(f.midX(), f.minY() + 4);
    if (std::hypot(to.x() - bedSpot.x(), to.y() - bedSpot.y()) <= bedDragThreshold) {
        // A click, or a shaky one: the bed stays where it stood and nothing is saved.
        bedPanel->setFrame(Rect{bedSpot.x() - f.width * 0.5, bedSpot.y() - 4, f.width, f.height});
        return;
    }
    bedSpot = clampedBedSpot(to);
    placeBed();
}

void CatOverlay::keepBedOnScreen() {
    if (!bedPanel) return;
    QPointF spot = bedSpot;
    // A bed on the floor stays on it: up over a panel that appeared, down where one went away.
    if (std::abs(spot.y() - bedFloor) < 0.5) spot.setY(floorY());
    setBedSpot(spot);
    if (lying) {
        x = bedSpot.x();
        feetY = bedSpot.y() + 12;
    }
    // Set even when the spot reads the same: on a screen of a new height the same spot in the
    // cat's terms is elsewhere. The saved spot stays as the user left it.
    const Rect f = bedPanel->frame();
    bedPanel->setFrame(Rect{bedSpot.x() - f.width * 0.5, bedSpot.y() - 4, f.width, f.height});
}

std::optional<DesktopWindow> CatOverlay::bedWindow() const {
    if (!bedPanel) return std::nullopt;
    const Rect vf = screenFrame();
    const DesktopWindow* best = nullptr;
    for (const DesktopWindow& w : windows) {
        const double top = w.frame.maxY();
        if (top > bedSpot.y() + 4 || top <= vf.minY() + 12) continue;
        if (best && top <= best->frame.maxY()) continue; // the first wins a tie
        const Pieces pieces = visibleTop(w);
        if (std::none_of(pieces.begin(), pieces.end(),
                         [&](const Span& s) { return s.contains(bedSpot.x()); }))
            continue;
        best = &w;
    }
    if (!best) return std::nullopt;
    return *best;
}

std::optional<double> CatOverlay::bedBelow(const Surface& surface) const {
    if (!bedPanel || lying) return std::nullopt;
    if (std::abs(x - bedSpot.x()) >= 40) return std::nullopt;
    const double b = bedSpot.y() + 12;
    if (b <= feetY + 1 && (b > surface.y || !surface.window)) return b;
    return std::nullopt;
}

double CatOverlay::bedApproachX() const {
    const Rect vf = screenFrame();
    const double side = x < bedSpot.x() ? bedSpot.x() - 55 : bedSpot.x() + 55;
    return std::min(std::max(side, vf.minX() + 30), vf.maxX() - 30);
}
