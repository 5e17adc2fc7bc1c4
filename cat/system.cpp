// Calls, music, typing, sleep and the focus timer. Not watched yet: no call, no music, and the
// focus timer's phases do not reach the cat.

#include "cat/CatOverlay.h"

void CatOverlay::watchSystem() {}

void CatOverlay::pollSystem(double) {}

void CatOverlay::setPomodoro(bool, std::optional<double>) {
    wake();
}
