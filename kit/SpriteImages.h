#pragma once

#include "frames/CatSprite.h"

#include <QImage>
#include <QSizeF>
#include <QString>

// The frame images, decoded all at once on first use and kept for the life of the process.
// The art is drawn at two pixels per point, so every image carries a device pixel ratio of 2 and
// draws at half its pixel size. Main thread only.
class SpriteImages {
  public:
    // Where the app bundles the frames: "<prefix><image name>.png".
    static inline const QString bundlePrefix = QStringLiteral(":/frames/");

    // Decodes every frame from prefix (replacing what was loaded before) and makes the frames
    // the source of CatSprite::geometry(). A missing or unreadable frame stops the app.
    static void loadAll(const QString& prefix = bundlePrefix);

    // The frame's image; loads the bundled frames on first access.
    static const QImage& image(CatSprite sprite);
    // Drawing size in points: half the pixel size (0 × 0 for an image without pixels).
    static QSizeF size(CatSprite sprite);
};
