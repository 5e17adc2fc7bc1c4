#pragma once

#include "art/Pose.h"
#include "frames/CatSprite.h"

#include <QImage>
#include <QSize>

// What one catalogue frame looks like: its canvas and the pose drawn on it.
struct FrameArt {
    QSize pixels;
    Pose pose;
    bool emptyBed = false;

    // Every frame of the catalogue has art; a name no family knows is a fault and stops the run.
    static FrameArt of(CatSprite sprite);
    QImage render() const;

    static constexpr int pixelsPerPoint = 2;
    static constexpr int canvasPoints = 96;
    // Rows at the bottom of a bed frame that show nothing but the bed's front rim.
    static constexpr int bedRows = 24;
};
