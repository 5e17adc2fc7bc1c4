#pragma once

class QObject;

// Keeps the frame images lean while the app runs: every sweepSeconds the frames not shown since
// the previous sweep are dropped, and the heap they held goes back to the system, as does what
// the start-up left behind once it is over. Timers on the main thread, owned by owner.
namespace FrameSweep {

inline constexpr int sweepSeconds = 45;

void start(QObject* owner);

} // namespace FrameSweep
