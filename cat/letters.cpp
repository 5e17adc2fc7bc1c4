// Letters, petting, taps and the timed caption.

#include "cat/CatOverlay.h"

#include <algorithm>

void CatOverlay::deliver(const Letter& letter) {
    wake();
    // One update offer is enough.
    if (letter.update &&
        std::any_of(queue.begin(), queue.end(), [](const Letter& l) { return l.update; }))
        return;
    queue.push_back(letter);
    state.setUnread(int(queue.size()));
    // A cat on screen fetches it on its next decision; one not shown yet brings it in.
    if (!panel) enter(true);
}

void CatOverlay::stroke(double) {}

void CatOverlay::tapCat() {}

void CatOverlay::openLetter(double) {}

void CatOverlay::markRead() {}

void CatOverlay::refreshCaption(double) {}

void CatOverlay::setCheer(const QString& text, double until) {
    wake();
    cheer = Cheer{text, until};
}

bool CatOverlay::readingReport() const {
    const Letter* open = state.reading();
    return open && open->report.has_value();
}
