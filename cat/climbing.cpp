// Climbing window faces, hopping between tops and falling. The cat does not leave the floor
// yet: no window is offered for climbing or moving to, and nothing under it moves.

#include "cat/CatOverlay.h"

void CatOverlay::checkPlatform(double) {}

std::optional<CatOverlay::ClimbTarget> CatOverlay::climbTarget() {
    return std::nullopt;
}

std::optional<CatOverlay::TransferTarget> CatOverlay::transferTarget(const DesktopWindow&) {
    return std::nullopt;
}

void CatOverlay::getDown(const DesktopWindow&, double) {}

CatOverlay::Surface CatOverlay::landingSurface() const {
    return Surface{floorY(), std::nullopt};
}

void CatOverlay::arriveTransfer(const DesktopWindow&, double t) {
    start(Activity::idle(), t);
}

void CatOverlay::stepClimbing(double, double, double) {}
