// The bed on the desktop: its panel handed to the bed's place, and the geometry the trips to it
// use.

#include "cat/CatOverlay.h"
#include "frames/BedClip.h"
#include "platform/Panel.h"

#include <algorithm>
#include <cmath>

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
    if (bedPlace_.exists() || !sys.makeBedPanel) return;
    bedPlace_.setPanel(sys.makeBedPanel(*this));
}

void CatOverlay::placeBed() {
    if (bedPlace_.place()) settleBed();
}

void CatOverlay::bedPanelMoved() {
    if (bedPlace_.panelMoved()) settleBed();
}

double CatOverlay::surfaceUnderBed() const {
    const std::optional<DesktopWindow> w = bedWindow();
    return w ? w->frame.maxY() : floorY();
}

void CatOverlay::settleBed() {
    // A bed no jump reaches from the top (or the floor) below it comes down onto it.
    const double below = surfaceUnderBed();
    if (bedPlace_.spot().y() - below <= Climbing::hopReach) return;
    bedPlace_.settleOnto(below);
    if (bedLife_.lying()) {
        x = bedPlace_.spot().x();
        feetY = bedPlace_.spot().y() + 12;
        layout();
    }
}

void CatOverlay::keepBedOnScreen() {
    if (!bedPlace_.exists()) return;
    bedPlace_.keepOnScreen();
    if (bedLife_.lying()) {
        x = bedPlace_.spot().x();
        feetY = bedPlace_.spot().y() + 12;
    }
}

std::optional<DesktopWindow> CatOverlay::bedWindow() const {
    if (!bedPlace_.exists()) return std::nullopt;
    const QPointF bedSpot = bedPlace_.spot();
    const Rect vf = desktop_.visibleNear(bedSpot.x(), bedSpot.y());
    const DesktopWindow* best = nullptr;
    for (const DesktopWindow& w : polledWindows()) {
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
    if (!bedPlace_.exists() || bedLife_.lying()) return std::nullopt;
    const QPointF bedSpot = bedPlace_.spot();
    if (std::abs(x - bedSpot.x()) >= 40) return std::nullopt;
    const double b = bedSpot.y() + 12;
    if (b <= feetY + 1 && (b > surface.y || !surface.window)) return b;
    return std::nullopt;
}
