#include "frames/CatSprite.h"

#include <QtGlobal>
#include <algorithm>

namespace {

// Alpha above this (of 255) counts as the cat; fainter pixels are antialiasing fringe.
constexpr int opaqueAlpha = 40;
// The rows whose mean column gives the hang point: the top of the head and the ears.
constexpr int hangRows = 6;

std::function<CatSprite::Bitmap(CatSprite)>& bitmapSource() {
    static std::function<CatSprite::Bitmap(CatSprite)> source;
    return source;
}

} // namespace

CatSprite::Geometry CatSprite::computeGeometry(const Bitmap& bitmap, QStringView name) {
    if (!bitmap.rgba || bitmap.width <= 0 || bitmap.height <= 0)
        qFatal("sprite %s has no bitmap", qPrintable(name.toString()));
    const int w = bitmap.width;
    const int h = bitmap.height;
    const auto alpha = [&](int x, int y) {
        return bitmap.rgba[y * bitmap.bytesPerLine + 4 * x + 3];
    };

    qint64 n = 0;
    double sumX = 0, sumY = 0;
    int minX = w, maxX = -1, minY = h, maxY = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (alpha(x, y) <= opaqueAlpha) continue;
            ++n;
            sumX += x;
            sumY += y;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    if (n == 0) qFatal("sprite %s is empty", qPrintable(name.toString()));

    qint64 m = 0;
    double hangSumX = 0;
    for (int y = minY; y < std::min(minY + hangRows, h); ++y) {
        for (int x = 0; x < w; ++x) {
            if (alpha(x, y) <= opaqueAlpha) continue;
            ++m;
            hangSumX += x;
        }
    }

    // Rows count down from the top; points count up from the bottom. Pixel indices are used as
    // they are, so a lone pixel's bounds start where its centre would be.
    const double k = bitmap.pointsPerPixel;
    const auto up = [&](double row) { return (h - 1 - row) * k; };
    Geometry g;
    g.bounds = Rect{minX * k, up(maxY), (maxX - minX + 1) * k, (maxY - minY + 1) * k};
    g.hangPoint = QPointF(hangSumX / double(m) * k, up(minY));
    g.massCenter = QPointF(sumX / double(n) * k, up(sumY / double(n)));
    return g;
}

void CatSprite::setBitmapSource(std::function<Bitmap(CatSprite)> source) {
    bitmapSource() = std::move(source);
}

const CatSprite::Geometry& CatSprite::geometry(CatSprite sprite) {
    static std::vector<std::optional<Geometry>> cache(count);
    std::optional<Geometry>& slot = cache[sprite.index()];
    if (!slot) {
        if (!bitmapSource()) qFatal("sprite %s has no bitmap", qPrintable(sprite.rawValue()));
        slot = computeGeometry(bitmapSource()(sprite), sprite.rawValue());
    }
    return *slot;
}
