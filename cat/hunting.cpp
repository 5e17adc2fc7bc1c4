// Hunting a still pointer. Not offered yet: the pointer is never prey.

#include "cat/CatOverlay.h"

bool CatOverlay::huntIfPrey(double) {
    return false;
}

std::optional<QPointF> CatOverlay::prey(double) const {
    return std::nullopt;
}

QPointF CatOverlay::pawPoint() const {
    return QPointF(state.facingRight() ? x + 15 : x - 15, feetY + 42);
}

void CatOverlay::holdCursor() {}

void CatOverlay::stepHunt(double, double, double) {}
