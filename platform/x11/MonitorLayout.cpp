#include "platform/x11/MonitorLayout.h"

namespace MonitorLayout {

bool plausible(const QRect& area, const QRect& monitor) {
    return !area.isEmpty() && area.width() * 4 >= monitor.width() &&
           area.height() * 4 >= monitor.height();
}

Area workArea(const QRect& monitor, const Reserved& reserved, int monitorCount) {
    Area out;
    const auto take = [&](const QRect& area, Source source) {
        if (area.isEmpty()) return false;
        if (!plausible(area, monitor)) {
            out.rejected.push_back(area);
            return false;
        }
        out.pixels = area;
        out.source = source;
        return true;
    };
    if (take(WorkArea::onMonitor(reserved.gtk, monitor), Source::gtk)) return out;
    if (reserved.clients &&
        take(WorkArea::minusStruts(monitor, reserved.root, reserved.struts), Source::struts))
        return out;
    if (monitorCount == 1 && take(reserved.net.intersected(monitor), Source::net)) return out;
    out.pixels = monitor;
    out.source = Source::whole;
    return out;
}

std::vector<Monitor> monitors(const std::vector<Output>& outputs, const std::vector<QRect>& work,
                              const ScreenSpace& space) {
    std::vector<Monitor> out;
    if (!space.valid) return out;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const Output& o = outputs[i];
        if (o.pixels.isEmpty()) continue;
        const QRect area = i < work.size() && !work[i].isEmpty() ? work[i] : o.pixels;
        Monitor m{o.name,
                  space.fromX11(o.pixels),
                  space.fromX11(area),
                  o.refreshRate >= 1 ? o.refreshRate : 60,
                  o.pixelRatio > 0 ? o.pixelRatio : 1,
                  o.primary};
        // The primary goes first: the engine's origin and its answers about one monitor.
        if (m.primary)
            out.insert(out.begin(), std::move(m));
        else
            out.push_back(std::move(m));
    }
    return out;
}

} // namespace MonitorLayout
