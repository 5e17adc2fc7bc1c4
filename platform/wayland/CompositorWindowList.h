#pragma once

#include "platform/WindowList.h"
#include "platform/wayland/CompositorChannel.h"

#include <QHash>
#include <QSize>
#include <functional>

struct ScreenSpace;

// The window list a compositor channel pushes, mapped into XWayland's root and from there to
// y-up points like the X11 list, so the engine cannot tell them apart.
class CompositorWindowList final : public WindowList {
  public:
    static constexpr std::size_t kMaxWindows = 400;

    // monitors: the union of XWayland's monitors in root pixels now; space: root pixels to
    // engine points.
    using Monitors = std::function<QRect()>;
    using Space = std::function<ScreenSpace()>;
    CompositorWindowList(Monitors monitors, Space space);

    std::vector<WindowInfo> windows() override { return windows_; }
    quint64 generation() const override { return generation_; }

    // From the channel.
    void update(const CompositorWindows& list);
    void lost();

    // Maps a logical point the compositor gave (the pointer) into root pixels.
    QPointF pointToRoot(QPointF logical) const;

  private:
    quint32 idFor(const QString& key);

    Monitors monitors_;
    Space space_;
    QRect outputs_;
    std::vector<WindowInfo> windows_;
    QHash<QString, quint32> ids_;
    quint32 nextId_ = 1;
    quint64 generation_ = 1;
    bool capped_ = false;
    bool malformed_ = false;
};
