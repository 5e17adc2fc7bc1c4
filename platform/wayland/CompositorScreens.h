#pragma once

#include "platform/Screens.h"
#include "platform/wayland/CompositorChannel.h"

#include <QRect>
#include <functional>
#include <vector>

struct ScreenSpace;

// The monitors of a Wayland session as the compositor tells them: each output and its own work
// area, mapped into XWayland's root and from there to y-up points like everything else. Until
// the channel has told its outputs (or without a channel) the screens it wraps (XWayland's, as
// X11 sees them) answer.
class CompositorScreens final : public Screens {
  public:
    // monitors: the union of XWayland's monitors in root pixels now; space: root pixels to
    // engine points. Both as CompositorWindowList takes them.
    using Monitors = std::function<QRect()>;
    using Space = std::function<ScreenSpace()>;
    CompositorScreens(Screens& fallback, Monitors monitors, Space space);
    ~CompositorScreens() override;

    bool hasScreen() const override;
    Rect frame() const override;
    Rect visibleFrame() const override;
    double refreshRate() const override;
    std::vector<Monitor> monitors() const override;

    // From the channel, with each list it pushes. A list without outputs tells nothing.
    void update(const CompositorWindows& list);
    // Whether the compositor's outputs answer (false: the wrapped screens do).
    bool told() const { return !outputs_.empty(); }

  private:
    void remap();
    std::vector<CompositorOutput> usable(const std::vector<CompositorOutput>& given);

    Screens& fallback_;
    Monitors rootMonitors_;
    Space space_;
    std::vector<CompositorOutput> outputs_; // the last good list, logical pixels
    QRect union_;                           // what the channel gave as the outputs' union
    std::vector<Monitor> monitors_;         // outputs_ in points, the primary first
    bool odd_ = false;                      // the last list had something left out (logged)
};
