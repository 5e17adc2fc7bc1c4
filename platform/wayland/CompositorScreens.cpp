#include "platform/wayland/CompositorScreens.h"

#include "base/Log.h"
#include "platform/wayland/XWaylandSpace.h"
#include "platform/x11/ScreenSpace.h"

#include <cmath>

namespace {

bool plausible(const QRect& r) {
    constexpr int kFar = 1 << 20;
    return r.width() > 0 && r.height() > 0 && r.width() < kFar && r.height() < kFar &&
           std::abs(r.x()) < kFar && std::abs(r.y()) < kFar;
}

} // namespace

CompositorScreens::CompositorScreens(Screens& fallback, Monitors rootMonitors, Space space)
    : fallback_(fallback), rootMonitors_(std::move(rootMonitors)), space_(std::move(space)) {
    // XWayland's layout or the primary moved: the same outputs land elsewhere in the root.
    fallback_.onChanged = [this] {
        const std::vector<Monitor> before = this->monitors();
        remap();
        if (this->monitors() != before && onChanged) onChanged();
    };
}

CompositorScreens::~CompositorScreens() {
    fallback_.onChanged = nullptr;
}

std::vector<CompositorOutput>
CompositorScreens::usable(const std::vector<CompositorOutput>& given) {
    std::vector<CompositorOutput> out;
    QString odd;
    for (CompositorOutput o : given) {
        if (!plausible(o.frame)) {
            odd = QStringLiteral("an output of %1x%2 at %3,%4")
                      .arg(o.frame.width())
                      .arg(o.frame.height())
                      .arg(o.frame.x())
                      .arg(o.frame.y());
            continue;
        }
        // A work area outside its output (or none) is the whole output.
        const QRect work = o.workArea.intersected(o.frame);
        if (work.isEmpty()) {
            if (!o.workArea.isNull()) odd = QStringLiteral("a work area outside its output");
            o.workArea = o.frame;
        } else {
            o.workArea = work;
        }
        if (!(o.refreshRate >= 1 && o.refreshRate <= 1000)) o.refreshRate = 0;
        if (!(o.scale > 0 && o.scale <= 16)) o.scale = 0;
        // A mirror of another output adds nothing to walk on.
        bool same = false;
        for (const CompositorOutput& kept : out)
            same = same || kept.frame == o.frame;
        if (!same) out.push_back(std::move(o));
    }
    if (!odd.isEmpty() && !odd_)
        Log::error(QStringLiteral("compositor told %1; the cat leaves it out").arg(odd));
    odd_ = !odd.isEmpty();
    return out;
}

void CompositorScreens::update(const CompositorWindows& list) {
    if (list.outputList.empty()) return;
    std::vector<CompositorOutput> good = usable(list.outputList);
    if (good.empty()) {
        if (!odd_) Log::error(QStringLiteral("compositor told no output the cat can stand on"));
        odd_ = true;
        return; // the last good list stays
    }
    if (good == outputs_ && list.outputs == union_) return;
    const std::vector<Monitor> before = this->monitors();
    outputs_ = std::move(good);
    union_ = list.outputs;
    remap();
    if (this->monitors() != before && onChanged) onChanged();
}

void CompositorScreens::remap() {
    monitors_.clear();
    if (outputs_.empty()) return;
    const ScreenSpace space = space_();
    if (!space.valid) return;
    QRect logical = union_;
    if (logical.isEmpty())
        for (const CompositorOutput& o : outputs_)
            logical |= o.frame;
    const XWaylandSpace map = XWaylandSpace::fromBounds(logical, rootMonitors_());

    // The primary is where the engine's coordinates start: the output on XWayland's primary
    // monitor, else the compositor's own primary, else the output at the origin.
    int primary = -1, told = -1, atOrigin = -1;
    for (int i = 0; i < int(outputs_.size()); ++i) {
        const CompositorOutput& o = outputs_[std::size_t(i)];
        if (map.toRoot(o.frame) == space.primaryPx) primary = i;
        if (o.primary && told < 0) told = i;
        if (o.frame.topLeft() == QPoint(0, 0) && atOrigin < 0) atOrigin = i;
    }
    if (primary < 0) primary = told >= 0 ? told : atOrigin >= 0 ? atOrigin : 0;

    const double fallbackRate = fallback_.hasScreen() ? fallback_.refreshRate() : 60;
    for (int i = 0; i < int(outputs_.size()); ++i) {
        const CompositorOutput& o = outputs_[std::size_t(i)];
        Monitor m;
        m.name = o.name;
        m.frame = space.fromX11(map.toRoot(o.frame));
        m.visibleFrame = space.fromX11(map.toRoot(o.workArea));
        m.refreshRate = o.refreshRate > 0 ? o.refreshRate : fallbackRate;
        m.pixelRatio = space.ratio;
        m.primary = i == primary;
        if (m.primary)
            monitors_.insert(monitors_.begin(), std::move(m));
        else
            monitors_.push_back(std::move(m));
    }
}

bool CompositorScreens::hasScreen() const {
    return !monitors_.empty() || fallback_.hasScreen();
}

Rect CompositorScreens::frame() const {
    return monitors_.empty() ? fallback_.frame() : monitors_.front().frame;
}

Rect CompositorScreens::visibleFrame() const {
    return monitors_.empty() ? fallback_.visibleFrame() : monitors_.front().visibleFrame;
}

double CompositorScreens::refreshRate() const {
    return monitors_.empty() ? fallback_.refreshRate() : monitors_.front().refreshRate;
}

std::vector<Monitor> CompositorScreens::monitors() const {
    return monitors_.empty() ? fallback_.monitors() : monitors_;
}
