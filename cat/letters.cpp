// Letters, petting, taps and the timed caption.

#include "cat/CatOverlay.h"

void CatOverlay::stroke(double) {}

void CatOverlay::tapCat() {}

void CatOverlay::openLetter(double) {}

void CatOverlay::markRead() {}

void CatOverlay::refreshCaption(double) {}

void CatOverlay::setCheer(const QString& text, double until) {
    cheer = Cheer{text, until};
}

bool CatOverlay::readingReport() const {
    return false;
}
