#include "art/BasePoses.h"
#include "art/Families.h"
#include "art/Track.h"

// Bed clips with things: headphones, the laptop and a mug of cocoa. Each thing comes up from
// behind the bed's front rim and goes back there before the clip ends.
namespace {

double loopPhase(const BedTiming& t, double at) {
    return (at - t.loopStart()) / (t.loopEnd() - t.loopStart());
}

bool inLoop(const BedTiming& t, double at) {
    return at >= t.loopStart() && at < t.loopEnd();
}

Pose music(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    // The paw fetches the headphones from behind the rim and puts them on.
    Pose reach = s;
    reach.nearFrontX = 84, reach.nearFrontY = 82, reach.lookX = 1.2, reach.lookY = 1.2;
    reach.headTilt = 8;
    Pose on = s;
    on.headphones = 1, on.nearFrontX = 50, on.nearFrontY = 54, on.headTilt = -4;
    Pose listening = s;
    listening.headphones = 1, listening.notes = 1, listening.eyesHappy = 1, listening.blush = 1.6;
    Pose pose = Track(s)
                    .key(3, s)
                    .key(12, reach)
                    .key(20, on)
                    .key(t.loopStart(), listening)
                    .key(t.loopEnd(), listening)
                    .key(t.loopEnd() + 12, on)
                    .key(t.loopEnd() + 22, reach)
                    .key(t.end, s)
                    .at(at);
    // Headphones are on between grabbing them and handing them back.
    pose.headphones = (at >= 16 && at < t.loopEnd() + 18) ? 1 : 0;
    if (inLoop(t, at)) {
        // Two nods and a tail beat per pass; the notes bob with it.
        const double p = loopPhase(t, at);
        pose.headTilt += 6 * Blend::wave(2 * p);
        pose.headY += 1.2 * Blend::wave(4 * p);
        pose.tailBend += 30 * Blend::wave(2 * p + 0.25);
        pose.noteRise = 3 * Blend::wave(p);
        pose.nearFrontY -= 2 * std::max(0.0, Blend::wave(4 * p));
    }
    return pose;
}

Pose laptop(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose fetch = s;
    fetch.laptop = 1, fetch.laptopOpen = 0, fetch.propsBehind = 1;
    fetch.nearFrontX = 82, fetch.nearFrontY = 82, fetch.lookX = 1.3, fetch.lookY = 1.3;
    Pose closed = fetch;
    closed.propsBehind = 0, closed.nearFrontX = 78, closed.nearFrontY = 72;
    Pose open = closed;
    open.laptopOpen = 1, open.nearFrontX = 72, open.nearFrontY = 74;
    open.farFrontX = 66, open.farFrontY = 74;
    Pose work = open;
    work.headTilt = 6, work.lookX = 1.1, work.lookY = 0.8, work.eyesOpen = 0.85;
    work.earsBack = 0.15;
    Pose pose = Track(s)
                    .key(1, s)
                    .key(8, fetch)
                    .key(16, closed)
                    .key(24, open)
                    .key(t.loopStart(), work)
                    .key(t.loopEnd(), work)
                    .key(t.loopEnd() + 18, open)
                    .key(t.loopEnd() + 26, closed)
                    .key(t.loopEnd() + 34, fetch)
                    .key(t.end, s)
                    .at(at);
    pose.laptop = (at >= 6 && at < t.loopEnd() + 38) ? 1 : 0;
    pose.propsBehind = (at < 12 || at >= t.loopEnd() + 30) ? 1 : 0;
    if (inLoop(t, at)) {
        // Typing: the paws take turns, four strokes each per pass of the loop.
        const double p = loopPhase(t, at);
        pose.nearFrontY -= 2.5 * std::max(0.0, Blend::wave(4 * p));
        pose.farFrontY -= 2.5 * std::max(0.0, Blend::wave(4 * p + 0.5));
        pose.headTilt += 1.5 * Blend::wave(p);
        pose.lookX += 0.4 * Blend::wave(p);
    }
    return pose;
}

Pose cocoa(const BedTiming& t, double at) {
    const Pose s = BasePoses::bedStill();
    Pose fetch = s;
    fetch.mug = 1, fetch.mugX = 78, fetch.mugY = 76, fetch.propsBehind = 1;
    fetch.nearFrontX = 84, fetch.nearFrontY = 82, fetch.lookX = 1.2, fetch.lookY = 1.2;
    Pose hold = s;
    hold.mug = 1, hold.mugX = 80, hold.mugY = 64, hold.steam = 1;
    hold.nearFrontX = 80, hold.nearFrontY = 72, hold.lookY = 0.8, hold.blush = 1.5;
    // The swung stretch runs from the mug at the lips to a long sip and back again.
    Pose lips = hold;
    lips.mugX = 77, lips.mugY = 61, lips.mugTurn = -10, lips.headTilt = 6, lips.steam = 0.6;
    lips.nearFrontX = 78, lips.nearFrontY = 69;
    Pose sip = lips;
    sip.mugX = 76, sip.mugY = 58, sip.mugTurn = -38, sip.headTilt = -6, sip.headY -= 2;
    sip.eyesOpen = 0, sip.eyesHappy = 1, sip.steam = 0, sip.nearFrontY = 66;
    Pose ahh = hold;
    ahh.eyesHappy = 1, ahh.blush = 2, ahh.headTilt = -8;
    Pose pose = Track(s)
                    .key(3, s)
                    .key(14, fetch)
                    .key(24, hold)
                    .key(t.loopStart(), lips)
                    .key(t.start(t.loop->second + 1), sip)
                    .key(84, ahh)
                    .key(96, hold)
                    .key(104, fetch)
                    .key(t.end, s)
                    .at(at);
    pose.mug = (at >= 8 && at < 108) ? 1 : 0;
    pose.propsBehind = (at < 18 || at >= 100) ? 1 : 0;
    return pose;
}

} // namespace

namespace Families {

std::optional<Pose> gadgets(const FrameName& name) {
    using Clip = Pose (*)(const BedTiming&, double);
    static const std::pair<const char16_t*, Clip> clips[] = {
        {u"bed_music", music}, {u"bed_laptop", laptop}, {u"bed_cocoa", cocoa}};
    for (const auto& [stem, clip] : clips) {
        if (name.stem == QStringView(stem)) {
            const BedTiming timing = BedTiming::of(name.stem);
            return clip(timing, timing.start(name.number));
        }
    }
    return std::nullopt;
}

} // namespace Families
