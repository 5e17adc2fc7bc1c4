#include "platform/x11/WorkArea.h"

#include <algorithm>

namespace WorkArea {

std::optional<Strut> Strut::fromValues(const std::vector<uint32_t>& v, QSize root) {
    Strut s;
    if (v.size() >= 12) {
        s.left = v[0], s.right = v[1], s.top = v[2], s.bottom = v[3];
        s.leftStartY = v[4], s.leftEndY = v[5], s.rightStartY = v[6], s.rightEndY = v[7];
        s.topStartX = v[8], s.topEndX = v[9], s.bottomStartX = v[10], s.bottomEndX = v[11];
        return s;
    }
    if (v.size() >= 4) {
        // The old form reserves the whole length of each edge.
        s.left = v[0], s.right = v[1], s.top = v[2], s.bottom = v[3];
        s.leftEndY = s.rightEndY = quint32(std::max(0, root.height() - 1));
        s.topEndX = s.bottomEndX = quint32(std::max(0, root.width() - 1));
        return s;
    }
    return std::nullopt;
}

std::vector<QRect> rectsFromValues(const std::vector<uint32_t>& v) {
    std::vector<QRect> out;
    for (size_t i = 0; i + 3 < v.size(); i += 4)
        out.emplace_back(int(v[i]), int(v[i + 1]), int(v[i + 2]), int(v[i + 3]));
    return out;
}

QRect onMonitor(const std::vector<QRect>& areas, const QRect& monitor) {
    QRect best;
    qint64 bestArea = 0;
    for (const QRect& a : areas) {
        const QRect overlap = a.intersected(monitor);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestArea) best = overlap, bestArea = area;
    }
    return best;
}

static bool spans(quint32 start, quint32 end, int from, int to) {
    // Strut spans are inclusive pixel ranges; [from, to) is the monitor's extent.
    return int(start) < to && int(end) >= from;
}

// Whether a band reaching from a root edge to the line at `edge` ends inside [from, to): one
// that stops short of the monitor does not touch it, and one that runs past it whole is a dock
// on a monitor further in (its strut counts from the root's edge, across this monitor).
static bool endsInside(int edge, int from, int to) {
    return edge > from && edge < to;
}

QRect minusStruts(QRect m, QSize root, const std::vector<Strut>& struts) {
    int left = m.left(), top = m.top(), right = m.x() + m.width(), bottom = m.y() + m.height();
    const int mx0 = m.x(), mx1 = m.x() + m.width(), my0 = m.y(), my1 = m.y() + m.height();
    for (const Strut& s : struts) {
        const int leftEdge = int(s.left), rightEdge = root.width() - int(s.right);
        const int topEdge = int(s.top), bottomEdge = root.height() - int(s.bottom);
        if (s.left > 0 && spans(s.leftStartY, s.leftEndY, my0, my1) &&
            endsInside(leftEdge, mx0, mx1))
            left = std::max(left, leftEdge);
        if (s.right > 0 && spans(s.rightStartY, s.rightEndY, my0, my1) &&
            endsInside(rightEdge, mx0, mx1))
            right = std::min(right, rightEdge);
        if (s.top > 0 && spans(s.topStartX, s.topEndX, mx0, mx1) && endsInside(topEdge, my0, my1))
            top = std::max(top, topEdge);
        if (s.bottom > 0 && spans(s.bottomStartX, s.bottomEndX, mx0, mx1) &&
            endsInside(bottomEdge, my0, my1))
            bottom = std::min(bottom, bottomEdge);
    }
    if (right <= left || bottom <= top) return m; // nonsense struts: keep the monitor whole
    return QRect(left, top, right - left, bottom - top);
}

} // namespace WorkArea
