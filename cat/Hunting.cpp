// When the pointer is prey, and holding the caught pointer.

#include "cat/Hunting.h"

#include "cat/Desktop.h"
#include "platform/InputIdle.h"
#include "platform/Pointer.h"
#include "platform/Random.h"
#include "platform/Screens.h"

#include <algorithm>
#include <cmath>

namespace {

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

std::optional<QPointF> Hunting::prey(double stillFor, QPointF feet) const {
    if (!desktop.hasScreen()) return std::nullopt;
    if (pointer.anyButtonPressed()) return std::nullopt;
    if (idle.secondsSinceMouseMoved() < stillFor) return std::nullopt;
    const QPointF p = pointer.location();
    // Prey on any monitor.
    const auto& monitors = desktop.monitors();
    if (std::none_of(monitors.begin(), monitors.end(),
                     [&](const Monitor& m) { return m.visibleFrame.contains(p); }))
        return std::nullopt;
    if (distance(p, QPointF(feet.x(), feet.y() + 32)) <= 50) return std::nullopt;
    return p;
}

std::optional<QPointF> Hunting::huntNow(double now, bool shaken, QPointF feet) {
    double stillness;
    if (now >= nextHunt_)
        stillness = shaken ? 0.25 : 4;
    else if (shaken)
        stillness = 0.25;
    else
        return std::nullopt;
    const std::optional<QPointF> p = prey(stillness, feet);
    if (!p) return p;
    nextHunt_ = now + random.uniform(120, 300);
    stalkStart = now;
    return p;
}

void Hunting::holdPointer(QPointF paw) {
    if (!desktop.hasScreen()) return;
    pointer.warp(paw);
    held = paw;
}

bool Hunting::pulledAway() const {
    return held && distance(pointer.location(), *held) > 3;
}
