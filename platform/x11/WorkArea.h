#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

// The pieces a work area is made from, in root pixels. No X calls here.
namespace WorkArea {

// _NET_WM_STRUT_PARTIAL (12 values) or the older _NET_WM_STRUT (4): reserved bands along the
// root window's edges, each with the span it covers along that edge.
struct Strut {
    quint32 left = 0, right = 0, top = 0, bottom = 0;
    quint32 leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    quint32 topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;

    static std::optional<Strut> fromValues(const std::vector<uint32_t>& v, QSize root);
};

// Rectangles given as x, y, width, height quadruples (_NET_WORKAREA, _GTK_WORKAREAS_D<n>).
std::vector<QRect> rectsFromValues(const std::vector<uint32_t>& v);

// Of the per-monitor areas GTK publishes, the one on this monitor; empty when none is.
QRect onMonitor(const std::vector<QRect>& areas, const QRect& monitor);

// The monitor with every band that ends inside it cut away.
QRect minusStruts(QRect monitor, QSize root, const std::vector<Strut>& struts);

} // namespace WorkArea
