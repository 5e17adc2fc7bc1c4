#include "platform/wayland/CompositorWindowList.h"

#include "base/Log.h"
#include "platform/wayland/XWaylandSpace.h"
#include "platform/x11/ScreenSpace.h"

#include <QSet>
#include <limits>

namespace {

// Frames that no output could hold: a hostile or broken channel.
bool plausible(const QRect& r) {
    constexpr int kFar = 1 << 20;
    return r.width() >= 0 && r.height() >= 0 && r.width() < kFar && r.height() < kFar &&
           std::abs(r.x()) < kFar && std::abs(r.y()) < kFar;
}

} // namespace

CompositorWindowList::CompositorWindowList(Monitors monitors, Space space)
    : monitors_(std::move(monitors)), space_(std::move(space)) {}

void CompositorWindowList::update(const CompositorWindows& list) {
    outputs_ = list.outputs;
    const XWaylandSpace map = XWaylandSpace::fromBounds(list.outputs, monitors_());
    const ScreenSpace space = space_();

    const bool capped = list.windows.size() > kMaxWindows;
    if (capped && !capped_)
        Log::error(QStringLiteral("compositor listed %1 windows; the cat looks at the front %2")
                       .arg(list.windows.size())
                       .arg(kMaxWindows));
    capped_ = capped;

    windows_.clear();
    QSet<QString> seen;
    bool malformed = false;
    const std::size_t n = std::min(list.windows.size(), kMaxWindows);
    for (std::size_t i = 0; i < n; ++i) {
        const CompositorWindow& w = list.windows[i];
        if (w.key.isEmpty() || !plausible(w.frame)) {
            malformed = true;
            continue;
        }
        seen.insert(w.key);
        WindowInfo info;
        info.id = idFor(w.key);
        info.frame = space.valid ? space.fromX11(map.toRoot(w.frame)) : Rect{};
        info.layer = w.layer;
        info.pid = w.pid;
        info.alpha = w.opacity;
        info.onScreen = w.onScreen && space.valid;
        windows_.push_back(info);
    }
    if (malformed && !malformed_)
        Log::error(QStringLiteral("compositor sent windows without an id or with an "
                                  "impossible frame; they are left out"));
    malformed_ = malformed;

    // Forget the ids of windows gone, so the table stays as small as the list.
    for (auto it = ids_.begin(); it != ids_.end();)
        it = seen.contains(it.key()) ? std::next(it) : ids_.erase(it);

    ++generation_;
    if (onChange) onChange();
}

void CompositorWindowList::lost() {
    if (windows_.empty()) return;
    windows_.clear();
    ++generation_;
    if (onChange) onChange();
}

QPointF CompositorWindowList::pointToRoot(QPointF logical) const {
    return XWaylandSpace::fromBounds(outputs_, monitors_()).toRoot(logical);
}

quint32 CompositorWindowList::idFor(const QString& key) {
    auto it = ids_.find(key);
    if (it != ids_.end()) return *it;
    if (nextId_ == std::numeric_limits<quint32>::max()) nextId_ = 1;
    const quint32 id = nextId_++;
    ids_.insert(key, id);
    return id;
}
