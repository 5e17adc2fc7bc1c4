#include "art/BasePoses.h"
#include "art/Families.h"
#include "art/Track.h"

// The phone clips. All but taking the phone out and putting it away begin and end on the
// phone pose (bedPhoneScroll1), so they chain in any order.
namespace {

Pose phoneIn(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    const Pose p = BasePoses::bedPhone();
    Pose reach = s;
    reach.nearFrontX = 82, reach.nearFrontY = 82, reach.lookX = 1.3, reach.lookY = 1.4;
    reach.headTilt = 8;
    Pose rising = reach;
    rising.phone = 1, rising.propsBehind = 1, rising.phoneX = 77, rising.phoneY = 74;
    rising.phoneTurn = 10, rising.phoneGlow = 0;
    Pose up = p;
    up.phoneGlow = 0, up.eyesOpen = 1, up.lookY = 0.6;
    Pose lit = p;
    lit.eyesOpen = 1.1, lit.blush = 1.6;
    return Track(s)
        .key(3, s)
        .key(20, reach)
        .key(30, rising)
        .key(50, up)
        .key(71, up)
        .key(80, lit)
        .key(t.end, p)
        .at(at);
}

Pose phoneOut(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    const Pose p = BasePoses::bedPhone();
    Pose dark = p;
    dark.phoneGlow = 0, dark.lookX = 1.2, dark.lookY = 0.2;
    Pose away = s;
    away.phone = 1, away.propsBehind = 1, away.phoneX = 77, away.phoneY = 74, away.phoneTurn = 10;
    away.nearFrontX = 82, away.nearFrontY = 82, away.lookX = 1.2, away.lookY = 1.4;
    Pose sigh = s;
    sigh.eyesOpen = 0, sigh.headTilt = -6;
    Pose pose = Track(p)
                    .key(13, p)
                    .key(26, dark)
                    .key(35, dark)
                    .key(60, away)
                    .key(72, away)
                    .key(88, sigh)
                    .key(98, s)
                    .key(t.end, s)
                    .at(at);
    pose.phone = at < 66 ? 1 : 0;
    pose.propsBehind = (at >= 48) ? 1 : 0;
    return pose;
}

Pose scroll(const BedTiming& t, double at) {
    const Pose p = BasePoses::bedPhone();
    Pose pose = Track(p).key(4, p).key(t.end, p).at(at);
    // Thumb flicks with pauses to read; the eyes follow the feed.
    const double flicks = pulse(at, 4, 27, 4) + pulse(at, 32, 73, 6) + pulse(at, 78, 99, 3);
    pose.nearFrontY -= 2 * std::abs(flicks);
    pose.lookY += 0.6 * flicks;
    pose.phoneGlow = 1 - 0.25 * std::abs(flicks);
    pose.headTilt += 2 * pulse(at, 27, 78, 1);
    return pose;
}

Pose watch(const BedTiming& t, double at) {
    const Pose p = BasePoses::bedPhone();
    // The phone turns sideways for a video; ears and eyes wide.
    Pose wide = p;
    wide.phoneTurn = -80, wide.phoneX = 80, wide.phoneY = 64;
    wide.eyesOpen = 1.2, wide.lookX = 1.0, wide.lookY = 0.8, wide.earsBack = -0.15;
    Pose gasp = wide;
    gasp.mouthOpen = 0.45, gasp.headTilt = -6;
    return Track(p)
        .key(8, p)
        .key(17, wide)
        .key(44, wide)
        .key(51, gasp)
        .key(58, gasp)
        .key(70, wide)
        .key(96, wide)
        .key(t.end, p)
        .at(at);
}

Pose giggle(const BedTiming& t, double at) {
    const Pose p = BasePoses::bedPhone();
    Pose laugh = p;
    laugh.eyesHappy = 1, laugh.mouthOpen = 0.45, laugh.blush = 2, laugh.headTilt = -10;
    Pose pose = Track(p).key(8, p).key(16, laugh).key(93, laugh).key(t.end, p).at(at);
    // Shakes with laughter.
    const double shake = pulse(at, 14, 95, 11);
    pose.headY += 1.5 * shake;
    pose.bodyY += 0.8 * shake;
    pose.mouthOpen += 0.25 * shake;
    pose.tailBend += 30 * pulse(at, 14, 95, 4);
    return pose;
}

Pose like(const BedTiming& t, double at) {
    const Pose p = BasePoses::bedPhone();
    Pose pleased = p;
    pleased.eyesOpen = 1.1, pleased.blush = 1.8, pleased.lookY = 1;
    // Two quick taps on the screen, then a heart floats up.
    Pose pose = Track(p).key(8, p).key(20, pleased).key(94, pleased).key(t.end, p).at(at);
    pose.nearFrontY -= 3 * std::abs(pulse(at, 30, 44, 2));
    if (at >= 44 && at < 94) {
        const double rise = (at - 44) / 50;
        pose.heart = rise < 0.8 ? 0.3 + rise : 1.1;
        pose.eyesHappy = 1;
    }
    return pose;
}

Pose roll(const BedTiming& t, double at) {
    const Pose p = BasePoses::bedPhone();
    // Rolls onto its back with the phone held up over its face, kicks happily, rolls back.
    Pose back = p;
    back.bodyTurn = 14, back.bodyY = 72, back.frontOver = 0; // the arm reaches up behind the head
    back.headX = 50, back.headY = 60, back.headTilt = -30;
    back.phoneX = 84, back.phoneY = 40, back.phoneTurn = -30;
    back.nearFrontX = 82, back.nearFrontY = 52, back.farFrontX = 78, back.farFrontY = 56;
    back.lookX = 1.2, back.lookY = -1.2, back.eyesOpen = 1.1;
    back.tailAngle = 40, back.tailBend = 60;
    Pose pose = Track(p).key(8, p).key(24, back).key(88, back).key(t.end, p).at(at);
    pose.tailBend += 35 * pulse(at, 24, 88, 5);
    pose.bodyTurn += 3 * pulse(at, 24, 88, 3);
    pose.eyesHappy = (at >= 40 && at < 72) ? 1 : 0;
    return pose;
}

} // namespace

namespace Families {

std::optional<Pose> phone(const FrameName& name) {
    using Clip = Pose (*)(const BedTiming&, double);
    static const std::pair<const char16_t*, Clip> clips[] = {
        {u"bed_phone_in", phoneIn},  {u"bed_phone_out", phoneOut},  {u"bed_phone_scroll", scroll},
        {u"bed_phone_watch", watch}, {u"bed_phone_giggle", giggle}, {u"bed_phone_like", like},
        {u"bed_phone_roll", roll},
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
