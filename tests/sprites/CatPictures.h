#pragma once

#include "frames/CatSprite.h"

#include <QImage>
#include <QPainter>
#include <map>

// Small stand-in frames for the views: 192 × 192 pixels (96 × 96 points) with one opaque,
// deliberately lopsided block, so mirroring and moving show up in the pixels and geometry.
class CatPictures {
  public:
    // Opaque block in pixels, top-left origin: x 40..99, y 100..191 (points 20..50 × 50..96).
    static constexpr QRect block{40, 100, 60, 92};
    static inline const QColor fur{200, 120, 40};

    CatPictures() {
        for (CatSprite sprite : {CatSprite(CatSprite::sit), CatSprite(CatSprite::walk1)}) {
            QImage image(192, 192, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter(&image).fillRect(block, fur);
            image.setDevicePixelRatio(2);
            images_[sprite.index()] = image;
        }
        CatSprite::setBitmapSource([this](CatSprite sprite) {
            static QImage scratch;
            scratch = image(sprite).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
            return CatSprite::Bitmap{scratch.width(), scratch.height(), 0.5, scratch.constBits(),
                                     scratch.bytesPerLine()};
        });
    }
    const QImage& image(CatSprite sprite) const { return images_.at(sprite.index()); }

  private:
    std::map<int, QImage> images_;
};

// One set for the whole test program: frame geometry is computed once per frame and kept.
inline const CatPictures& catPictures() {
    static const CatPictures pictures;
    return pictures;
}
