#pragma once

#include "frames/CatSprite.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

// A short animation the cat plays lying in its bed. Time counts in ticks of a 24 Hz clock.
struct CatSprite::BedClip {
    using Hold = CatSprite::Hold;

    struct Pose {
        CatSprite sprite;
        int frames; // ticks on screen
    };

    // The clip cut for playing: intro once, body repeats() times, outro once.
    struct Parts {
        std::vector<Pose> intro;
        std::vector<Pose> body;
        std::vector<Pose> outro;
    };

    QString name; // also the stem of its frames' image names
    std::vector<Pose> poses;
    std::optional<std::pair<int, int>> loop; // first and last pose index of the repeated stretch
    bool swing = false;                      // the loop plays forwards, then backwards
    std::optional<double> seconds;           // how long the whole clip should last
    Hold from = Hold::nothing;
    Hold to = Hold::nothing;
    double speed = 1.0;
    bool reaction = false; // a reaction to something seen on the phone

    Parts parts() const;
    // How often body plays: 0 for a clip without a loop or length, else at least 1.
    int repeats() const;

    // The fixed table; the bed stores clips by their index in it.
    static const std::vector<BedClip>& bedClips();
    // Index of the clip with that name; an unknown name is a fault of the caller and fatal.
    static int bedClip(QStringView name);
};
