#pragma once

#include "platform/Geometry.h"

#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

// One window as the window server reports it; the engine filters these.
struct WindowInfo {
    quint32 id = 0;
    Rect frame;                  // y-up points, including the decoration
    int layer = 0;               // 0 = ordinary application windows
    std::optional<qint64> pid;   // owner process
    std::optional<double> alpha; // absent = opaque
    bool onScreen = true;        // viewable, on the current desktop, not hidden
};

// The on-screen window list, front-most first.
class WindowList {
  public:
    virtual ~WindowList() = default;
    virtual std::vector<WindowInfo> windows() = 0;
    // Bumped whenever the list may have changed, so callers can skip unchanged polls.
    virtual quint64 generation() const = 0;

    // Called on the main thread when the list may have changed since it was last read, so a
    // resting frame clock can wake for it.
    std::function<void()> onChange;
};
