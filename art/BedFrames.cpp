#include "art/BasePoses.h"
#include "art/Families.h"
#include "art/Track.h"

// The plain bed clips. Times are ticks (24 per second) from the clip's start; every clip leaves
// from the still pose and is back on it by its last pose.
namespace {

Pose look(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose left = s;
    left.headX -= 2, left.headTilt = -8, left.lookX = -1.6, left.lookY = -0.6;
    left.tailBend += 25;
    Pose up = s;
    up.headTilt = -14, up.headY -= 2, up.lookX = 1.0, up.lookY = -1.6;
    up.earsBack = -0.1;
    Pose down = s;
    down.headTilt = 10, down.lookX = 0.3, down.lookY = 1.4;
    Pose blink = down;
    blink.eyesOpen = 0;
    return Track(s)
        .key(3, s)
        .key(14, left)
        .key(40, left)
        .key(50, up)
        .key(78, up)
        .key(86, down)
        .key(96, down)
        .key(98, blink)
        .key(101, down)
        .key(t.end, s)
        .at(at);
}

Pose groom(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose lick = s;
    lick.nearFrontX = 74, lick.nearFrontY = 66;
    lick.headTilt = 12, lick.headY += 1, lick.eyesOpen = 0, lick.mouthOpen = 0.25;
    Pose wipe = lick;
    wipe.nearFrontX = 70, wipe.nearFrontY = 50, wipe.headTilt = 22, wipe.mouthOpen = 0;
    wipe.earsBack = 0.4;
    Pose pose = Track(s)
                    .key(16, s)
                    .key(26, lick)
                    .key(56, lick)
                    .key(64, wipe)
                    .key(86, wipe)
                    .key(t.end, s)
                    .at(at);
    // Licks while the paw is at the mouth, then two strokes over the ear.
    const double licks = pulse(at, 26, 56, 5);
    pose.mouthOpen += 0.25 * licks;
    pose.nearFrontY += 2.5 * licks;
    const double strokes = pulse(at, 64, 86, 2);
    pose.nearFrontY += 6 * strokes;
    pose.nearFrontX -= 3 * strokes;
    pose.headTilt += 4 * strokes;
    return pose;
}

Pose sausage(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    // Stretched out long and low, chin on the rim, paws forward.
    Pose longCat = s;
    longCat.bodyW = 30, longCat.bodyH = 11, longCat.bodyX = 42, longCat.bodyY = 73;
    longCat.headX = 70, longCat.headY = 62, longCat.headTilt = 6;
    longCat.eyesOpen = 0.5, longCat.lookY = 0.8;
    longCat.nearFrontX = 84, longCat.farFrontX = 78;
    longCat.tailAngle = 25, longCat.tailBend = 70, longCat.tailLength = 17;
    longCat.blush = 1.5;
    Pose munch = longCat;
    munch.eyesOpen = 0, munch.eyesHappy = 1;
    Pose pose = Track(s)
                    .key(4, s)
                    .key(22, longCat)
                    .key(80, longCat)
                    .key(86, munch)
                    .key(100, munch)
                    .key(t.end, s)
                    .at(at);
    // A lazy wiggle of the rump, then it smacks its lips (the frames used for chewing in bed).
    pose.tailBend += 20 * pulse(at, 22, 80, 3);
    pose.bodyX += 1.2 * pulse(at, 30, 70, 2);
    // Poses 43 and 44 (ticks 83 and 85) double as the chewing pair when it eats in bed.
    if (at >= 83 && at < 92) {
        const bool puffed = int(at) / 2 % 2 == 1;
        pose.chew = puffed ? 1 : 0;
        pose.mouthOpen = puffed ? 0 : 0.3;
    }
    return pose;
}

Pose doze(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose drowsy = s;
    drowsy.eyesOpen = 0.45, drowsy.headTilt = 6, drowsy.headY += 2;
    Pose asleep = s;
    asleep.eyesOpen = 0, asleep.headTilt = 14, asleep.headY += 5, asleep.headX -= 1;
    asleep.earsBack = 0.25, asleep.tailBend += 30, asleep.blush = 1.4;
    Pose pose = Track(s)
                    .key(3, s)
                    .key(13, drowsy)
                    .key(30, drowsy)
                    .key(t.loopStart(), asleep)
                    .key(t.loopEnd(), asleep)
                    .key(94, drowsy)
                    .key(t.end, s)
                    .at(at);
    // Slow breaths: one full cycle per pass of the loop, so repeats join seamlessly.
    if (at >= t.loopStart() && at < t.loopEnd()) {
        const double phase = (at - t.loopStart()) / (t.loopEnd() - t.loopStart());
        const double breath = Blend::wave(phase);
        pose.bodyH += 0.9 * breath;
        pose.bodyY -= 0.5 * breath;
        pose.headY -= 0.7 * breath;
        pose.headTilt += 2 * Blend::wave(phase + 0.25);
    }
    return pose;
}

Pose knead(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose bliss = s;
    bliss.eyesHappy = 1, bliss.blush = 2, bliss.headTilt = -6;
    bliss.nearFrontY = 78, bliss.farFrontY = 78;
    Pose pose = Track(s).key(3, s).key(14, bliss).key(84, bliss).key(t.end, s).at(at);
    // Paws press in turn, about three times a second.
    const double press = pulse(at, 14, 84, 9);
    pose.nearFrontY += 3 * press;
    pose.farFrontY -= 3 * press;
    pose.bodyY += 0.5 * std::abs(press);
    return pose;
}

Pose yawn(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose open = s;
    open.headTilt = -20, open.headY -= 3, open.eyesOpen = 0, open.mouthOpen = 1;
    open.earsBack = 0.5;
    Pose stretch = s;
    stretch.nearFrontX = 84, stretch.farFrontX = 80, stretch.nearFrontY = 78;
    stretch.eyesOpen = 0, stretch.headTilt = 6, stretch.bodyW = 27;
    stretch.tailAngle = 35;
    Pose smack = s;
    smack.eyesOpen = 0.2, smack.chew = 0.5;
    return Track(s)
        .key(3, s)
        .key(31, open)
        .key(42, open)
        .key(52, smack)
        .key(62, stretch)
        .key(81, stretch)
        .key(t.end, s)
        .at(at);
}

} // namespace

namespace Families {

std::optional<Pose> inBed(const FrameName& name) {
    using Clip = Pose (*)(const BedTiming&, double);
    static const std::pair<const char16_t*, Clip> clips[] = {
        {u"bed_look", look}, {u"bed_groom", groom}, {u"bed_sausage", sausage},
        {u"bed_doze", doze}, {u"bed_knead", knead}, {u"bed_yawn", yawn},
    };
    for (const auto& [stem, clip] : clips) {
        if (name.stem == QStringView(stem)) {
            const BedTiming timing = BedTiming::of(name.stem);
            return clip(timing, timing.start(name.number));
        }
    }
    return std::nullopt;
}

} // namespace Families
