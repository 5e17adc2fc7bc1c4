#include "platform/x11/WindowFrame.h"

#include <algorithm>

namespace WindowFrame {

namespace {

// Far inside int, so sums of a few of these cannot overflow either.
constexpr qint64 kLimit = qint64(1) << 30;

int clamped(qint64 v) {
    return int(std::clamp(v, -kLimit, kLimit));
}

} // namespace

Outer outer(int x, int y, int width, int height, int border,
            const std::vector<uint32_t>& frameExtents, const std::vector<uint32_t>& gtkExtents) {
    Outer out;
    qint64 left = qint64(x), top = qint64(y);
    qint64 w = qint64(width) + 2 * qint64(border), h = qint64(height) + 2 * qint64(border);
    if (frameExtents.size() == 4) {
        const qint64 l = frameExtents[0], r = frameExtents[1], t = frameExtents[2],
                     b = frameExtents[3];
        if (l > w || r > w || t > h || b > h) {
            out.extentsIgnored = true;
        } else {
            left -= l, top -= t, w += l + r, h += t + b;
        }
    }
    if (gtkExtents.size() == 4) {
        // Shadows drawn inside the client: they must leave some of it.
        const qint64 l = gtkExtents[0], r = gtkExtents[1], t = gtkExtents[2], b = gtkExtents[3];
        if (l + r >= w || t + b >= h) {
            out.extentsIgnored = true;
        } else {
            left += l, top += t, w -= l + r, h -= t + b;
        }
    }
    out.frame = QRect(clamped(left), clamped(top), clamped(w), clamped(h));
    return out;
}

std::vector<uint32_t> frontMost(const uint32_t* bottomToTop, std::size_t count, std::size_t cap) {
    const std::size_t n = std::min(count, cap);
    std::vector<uint32_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = bottomToTop[count - 1 - i];
    return out;
}

} // namespace WindowFrame
