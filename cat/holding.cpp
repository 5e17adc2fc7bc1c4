// Picking the cat up and dangling it from the pointer. Not offered yet: a press never picks
// the cat up.

#include "cat/CatOverlay.h"

bool CatOverlay::pickUp(QPointF) {
    return false;
}

void CatOverlay::drop() {}

void CatOverlay::stepDangle(double, double) {}

void CatOverlay::hang(double, double) {}

void CatOverlay::landInBed(double) {}

void CatOverlay::trackShake(double) {}
