// The cat's bed. There is no bed yet: no panel, and the cat never belongs in it.

#include "cat/CatOverlay.h"

double CatOverlay::bedHeadroom() {
    return 96.0 - CatSprite::geometry(CatSprite::bedLook1).bounds.maxY();
}

void CatOverlay::makeBedPanel() {}

bool CatOverlay::wantsUp(double) {
    return false;
}

bool CatOverlay::belongsInBed(double) {
    return false;
}

void CatOverlay::goToBed(double) {}

void CatOverlay::headToBed(double) {}

void CatOverlay::getIntoBed(double) {}

void CatOverlay::leaveBed(double) {}

std::optional<double> CatOverlay::bedBelow(const Surface&) const {
    return std::nullopt;
}

std::optional<int> CatOverlay::moodClip(double) {
    return std::nullopt;
}

void CatOverlay::stepInBed(double, double) {}

std::optional<CatSprite> CatOverlay::bedPose(int) const {
    return std::nullopt;
}

QPointF CatOverlay::clampedBedSpot(QPointF p) const {
    return p;
}

void CatOverlay::placeBed() {}
