#include "kit/SpriteImages.h"

#include <QImageReader>
#include <utility>
#include <vector>

namespace {

// Pixels per point of the frame art.
constexpr double artScale = 2.0;

struct Frames {
    QString prefix;
    std::vector<QImage> images; // one slot per frame, null while not decoded
    std::vector<bool> asked;    // asked for since the last sweep
    std::vector<QSize> pixels;  // each frame's size, read from its header
    // The frame the geometry scan decoded last: a frame is scanned just before it is first
    // shown, and is then not decoded twice.
    QImage scanned;
    int scannedIndex = -1;
};

Frames& frames() {
    static Frames held;
    return held;
}

QString pathOf(const QString& prefix, CatSprite sprite) {
    return prefix + sprite.rawValue() + QStringLiteral(".png");
}

[[noreturn]] void missing(CatSprite sprite) {
    qFatal("sprite %s is missing from the app bundle (run `make` to redraw the frames and "
           "rebuild)",
           qPrintable(sprite.rawValue()));
}

QImage decode(const QString& prefix, CatSprite sprite) {
    QImage image(pathOf(prefix, sprite));
    if (image.isNull()) missing(sprite);
    image.setDevicePixelRatio(artScale);
    return image;
}

// Geometry wants premultiplied RGBA bytes, row 0 at the top. The converted copy lives until the
// next frame is asked for, which is all the geometry scan needs. The scan needs a frame's pixels
// once, and some scans go over hundreds of frames: a frame not held is decoded for it and not
// kept.
CatSprite::Bitmap bitmapOf(CatSprite sprite) {
    static QImage scratch;
    Frames& held = frames();
    const QImage& kept = held.images[size_t(sprite.index())];
    if (kept.isNull()) {
        held.scanned = decode(held.prefix, sprite);
        held.scannedIndex = sprite.index();
    }
    scratch = (kept.isNull() ? held.scanned : kept)
                  .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (scratch.isNull()) return {};
    return {scratch.width(), scratch.height(), 1.0 / artScale, scratch.constBits(),
            scratch.bytesPerLine()};
}

} // namespace

void SpriteImages::open(const QString& prefix) {
    // The header says whether a frame is there and is a PNG, and its size; its pixels wait
    // until it is shown.
    Frames& held = frames();
    held.pixels.assign(CatSprite::count, QSize());
    for (CatSprite sprite : CatSprite::allCases()) {
        QImageReader reader(pathOf(prefix, sprite), "png");
        if (!reader.canRead()) missing(sprite);
        held.pixels[size_t(sprite.index())] = reader.size();
    }
    held.prefix = prefix;
    held.scanned = QImage();
    held.scannedIndex = -1;
    held.images.assign(CatSprite::count, QImage());
    held.asked.assign(CatSprite::count, false);
    CatSprite::setBitmapSource(bitmapOf);
}

const QImage& SpriteImages::image(CatSprite sprite) {
    Frames& held = frames();
    if (held.images.empty()) open();
    const auto i = size_t(sprite.index());
    held.asked[i] = true;
    if (held.images[i].isNull()) {
        const bool scanned = held.scannedIndex == sprite.index();
        held.images[i] =
            scanned ? std::exchange(held.scanned, QImage()) : decode(held.prefix, sprite);
        if (scanned) held.scannedIndex = -1;
    }
    return held.images[i];
}

QSizeF SpriteImages::size(CatSprite sprite) {
    Frames& held = frames();
    if (held.images.empty()) open();
    const QSize pixels = held.pixels[size_t(sprite.index())];
    if (!pixels.isValid()) return image(sprite).deviceIndependentSize(); // a header without one
    return QSizeF(pixels) / artScale;
}

int SpriteImages::sweep() {
    Frames& held = frames();
    int dropped = 0;
    held.scanned = QImage();
    held.scannedIndex = -1;
    for (size_t i = 0; i < held.images.size(); ++i) {
        if (!held.asked[i] && !held.images[i].isNull()) {
            held.images[i] = QImage();
            ++dropped;
        }
        held.asked[i] = false;
    }
    return dropped;
}
