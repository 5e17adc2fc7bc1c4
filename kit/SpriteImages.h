#pragma once

#include "frames/CatSprite.h"

#include <QImage>
#include <QSizeF>
#include <QString>

// The frame images, decoded when first asked for and kept while they are in use: a sitting cat
// shows one frame of the 1015, so holding them all would cost tens of megabytes for nothing.
// The art is drawn at two pixels per point, so every image carries a device pixel ratio of 2 and
// draws at half its pixel size. Main thread only.
class SpriteImages {
  public:
    // Where the app bundles the frames: "<prefix><image name>.png".
    static inline const QString bundlePrefix = QStringLiteral(":/frames/");

    // Takes the frames from prefix (forgetting what was decoded before) and makes them the
    // source of CatSprite::geometry(). Every frame is checked here without being decoded, so a
    // missing or unreadable frame stops the app at start, not when it is first shown.
    static void open(const QString& prefix = bundlePrefix);

    // The frame's image, decoded now if it is not held; opens the bundled frames on first
    // access. The reference is good until the next sweep(): keep a copy (QImage is shared, a
    // copy costs nothing) to hold the picture longer.
    static const QImage& image(CatSprite sprite);
    // Drawing size in points: half the pixel size, from the frame's header (no decoding).
    static QSizeF size(CatSprite sprite);

    // Drops every decoded frame not asked for since the previous sweep; returns how many.
    // Copies taken by callers keep their pixels.
    static int sweep();
};
