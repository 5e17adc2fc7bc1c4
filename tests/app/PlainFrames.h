#pragma once

#include "frames/CatSprite.h"

#include <QImage>

// Frame geometry for tests that run the engine without the drawn frames: every frame is a
// 96-point square with an opaque 40 × 60 point body standing on its feet line.
inline void usePlainFrames() {
    static const QImage frame = [] {
        QImage image(192, 192, QImage::Format_RGBA8888_Premultiplied);
        image.fill(Qt::transparent);
        for (int y = 32; y < 160; ++y)
            for (int x = 56; x < 136; ++x)
                image.setPixelColor(x, y, Qt::black);
        return image;
    }();
    CatSprite::setBitmapSource([](CatSprite) {
        return CatSprite::Bitmap{frame.width(), frame.height(), 0.5, frame.constBits(),
                                 frame.bytesPerLine()};
    });
}
