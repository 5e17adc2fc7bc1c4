#include "cat/FocusPhase.h"

#include <algorithm>

void FocusPhase::set(bool focus, std::optional<double> until) {
    focusing_ = focus;
    if (until && !breakUntil_) news = true;
    if (!until) {
        news = false;
        bedAt.reset();
    }
    breakUntil_ = until;
}

void FocusPhase::announced(double t) {
    news = false;
    if (breakUntil_) bedAt = t + std::min(std::max(*breakUntil_ - t, 0.0) / 3.0, 45.0);
}
