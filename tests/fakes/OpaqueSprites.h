#pragma once

#include "frames/CatSprite.h"

#include <array>

// Every frame gets the same synthetic picture, so tests and benchmarks have a body without the
// bundled art: an opaque block at points x 20 … 60, y 10 … 70 of the 96-point canvas (left of
// centre, so mirroring shows).
inline void installOpaqueSprites() {
    static std::array<uchar, 192 * 192 * 4> pixels = [] {
        std::array<uchar, 192 * 192 * 4> p{};
        for (int row = 52; row <= 171; ++row)
            for (int col = 40; col <= 119; ++col)
                p[std::size_t((row * 192 + col) * 4 + 3)] = 255;
        return p;
    }();
    CatSprite::setBitmapSource([](CatSprite) {
        return CatSprite::Bitmap{192, 192, 0.5, pixels.data(), 192 * 4};
    });
}
