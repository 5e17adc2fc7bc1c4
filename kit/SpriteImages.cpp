#include "kit/SpriteImages.h"

#include <vector>

namespace {

// Pixels per point of the frame art.
constexpr double artScale = 2.0;

std::vector<QImage>& loaded() {
    static std::vector<QImage> images;
    return images;
}

QImage load(const QString& prefix, CatSprite sprite) {
    const QString name = sprite.rawValue();
    QImage image(prefix + name + QStringLiteral(".png"));
    if (image.isNull())
        qFatal("sprite %s is missing from the app bundle (run `make` to redraw the frames and "
               "rebuild)",
               qPrintable(name));
    image.setDevicePixelRatio(artScale);
    return image;
}

// Geometry wants premultiplied RGBA bytes, row 0 at the top. The converted copy lives until the
// next frame is asked for, which is all the geometry scan needs.
CatSprite::Bitmap bitmapOf(CatSprite sprite) {
    static QImage scratch;
    scratch = SpriteImages::image(sprite).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (scratch.isNull()) return {};
    return {scratch.width(), scratch.height(), 1.0 / artScale, scratch.constBits(),
            scratch.bytesPerLine()};
}

} // namespace

void SpriteImages::loadAll(const QString& prefix) {
    std::vector<QImage> images;
    images.reserve(CatSprite::count);
    for (CatSprite sprite : CatSprite::allCases())
        images.push_back(load(prefix, sprite));
    loaded() = std::move(images);
    CatSprite::setBitmapSource(bitmapOf);
}

const QImage& SpriteImages::image(CatSprite sprite) {
    if (loaded().empty()) loadAll();
    return loaded()[sprite.index()];
}

QSizeF SpriteImages::size(CatSprite sprite) {
    const QImage& frame = image(sprite);
    if (frame.isNull()) return QSizeF(0, 0);
    return frame.deviceIndependentSize();
}
