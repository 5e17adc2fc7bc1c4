// The bed itself: its panel, where it stands, dragging it, and the geometry the trips to it use.

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "platform/Defaults.h"
#include "platform/Panel.h"
#include "platform/Screens.h"
#include "sprites/BedClip.h"

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
    bedSpot = clampedBedSpot(spot);
    made->setFrame(Rect{bedSpot.x() - bedSize.width() / 2, bedSpot.y() - 4, bedSize.width(),
                        bedSize.height()});
    bedPanel = std::move(made);
    bedPanel->show();
}

QPointF CatOverlay::clampedBedSpot(QPointF p) const {
    const Rect v = screenFrame();
    const Rect f = sys.screens.hasScreen() ? sys.screens.frame() : v;
    const double w = bedSize.width();
    // NaN never survives min/max in this order: the screen edges win.
    const double x = std::min(std::max(p.x(), v.minX() + w / 2), v.maxX() - w / 2);
    const double y = std::min(std::max(p.y(), f.minY()), v.maxY() - 150 + 4);
    return QPointF(std::isfinite(x) ? x : v.maxX() - w / 2, std::isfinite(y) ? y : v.minY() + 12);
}

void CatOverlay::placeBed() {
    bedGrab.reset();
    if (bedPanel) {
        const Rect f = bedPanel->frame();
        bedPanel->setFrame(Rect{bedSpot.x() - f.width * 0.5, bedSpot.y() - 4, f.width, f.height});
    }
    sys.defaults.setRealList(bedSpotKey, {bedSpot.x(), bedSpot.y()});
}

void CatOverlay::bedPanelMoved() {
    if (!bedPanel) return;
    const Rect f = bedPanel->frame();
    bedSpot = clampedBedSpot(QPointF(f.midX(), f.minY() + 4));
    placeBed();
}

void CatOverlay::keepBedOnScreen() {
    if (!bedPanel) return;
    const QPointF spot = clampedBedSpot(bedSpot);
    if (spot == bedSpot) {
        // The same spot in the cat's terms is elsewhere on a screen of a new height.
        bedPanel->setFrame(bedPanel->frame());
        return;
    }
    bedSpot = spot;
    if (lying) {
        x = spot.x();
        feetY = spot.y() + 12;
    }
    placeBed();
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
