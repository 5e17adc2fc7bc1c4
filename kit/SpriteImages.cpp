#include "kit/SpriteImages.h"

#include <QImageReader>
#include <vector>

namespace {

// Pixels per point of the frame art.
constexpr double artScale = 2.0;

struct Frames {
    QString prefix;
    std::vector<QImage> images; // one slot per frame, null while not decoded
    std::vector<bool> asked;    // asked for since the last sweep
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
    const Frames& held = frames();
    const QImage& kept = held.images[size_t(sprite.index())];
    scratch = (kept.isNull() ? decode(held.prefix, sprite) : kept)
                  .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (scratch.isNull()) return {};
    return {scratch.width(), scratch.height(), 1.0 / artScale, scratch.constBits(),
            scratch.bytesPerLine()};
}

} // namespace

void SpriteImages::open(const QString& prefix) {
    // The header says whether a frame is there and is a PNG; its pixels wait until it is shown.
    for (CatSprite sprite : CatSprite::allCases()) {
        QImageReader reader(pathOf(prefix, sprite), "png");
        if (!reader.canRead()) missing(sprite);
    }
    Frames& held = frames();
    held.prefix = prefix;
    held.images.assign(CatSprite::count, QImage());
    held.asked.assign(CatSprite::count, false);
    CatSprite::setBitmapSource(bitmapOf);
}

const QImage& SpriteImages::image(CatSprite sprite) {
    Frames& held = frames();
    if (held.images.empty()) open();
    const auto i = size_t(sprite.index());
    held.asked[i] = true;
    if (held.images[i].isNull()) held.images[i] = decode(held.prefix, sprite);
    return held.images[i];
}

QSizeF SpriteImages::size(CatSprite sprite) {
    const QImage& frame = image(sprite);
    if (frame.isNull()) return QSizeF(0, 0);
    return frame.deviceIndependentSize();
}

int SpriteImages::sweep() {
    Frames& held = frames();
    int dropped = 0;
    for (size_t i = 0; i < held.images.size(); ++i) {
        if (!held.asked[i] && !held.images[i].isNull()) {
            held.images[i] = QImage();
            ++dropped;
        }
        held.asked[i] = false;
    }
    return dropped;
}
