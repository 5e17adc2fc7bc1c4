#include "app/FrameSweep.h"

#include "kit/SpriteImages.h"

#include <QTimer>
#include <malloc.h>

namespace FrameSweep {

namespace {

// Freed blocks stay with glibc's allocator (and count as resident) until it is told to hand
// them back.
void giveBackHeap() {
    malloc_trim(0);
}

// The first frames shown, the fonts, the menu built and the settings read: over by then.
constexpr int startSeconds = 10;

} // namespace

void start(QObject* owner) {
    QTimer::singleShot(startSeconds * 1000, owner, giveBackHeap);
    auto* sweeper = new QTimer(owner);
    sweeper->setInterval(sweepSeconds * 1000);
    sweeper->setTimerType(Qt::VeryCoarseTimer); // when exactly does not matter, wake-ups do
    QObject::connect(sweeper, &QTimer::timeout, owner, [] {
        if (SpriteImages::sweep() > 0) giveBackHeap();
    });
    sweeper->start();
}

} // namespace FrameSweep
