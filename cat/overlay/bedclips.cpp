// Life in the bed: the clips the situation asks for, one after another, and the phone spells.

#include "cat/CatOverlay.h"
#include "frames/BedClip.h"
#include "platform/Random.h"

using K = Activity::Kind;
using Clip = CatSprite::BedClip;
using Hold = CatSprite::Hold;

namespace {

int clipIndex(QStringView name) {
    return Clip::bedClip(name);
}

} // namespace

void CatOverlay::playBedClip(int i, bool open, double t) {
    bedClips.play(i, open);
    start(Activity::inBed(i), t);
}

void CatOverlay::nextInBed(double t) {
    static const int phoneIn = clipIndex(u"bed_phone_in");
    static const int phoneOut = clipIndex(u"bed_phone_out");
    const BedLife::Situation situation = bedSituation();
    const std::optional<int> mood = bedLife_.moodClip(t, situation);
    const bool up = bedLife_.wantsUp(t, situation);
    if (bedLife_.hold() == Hold::phone) {
        // The phone is put away before anything else happens.
        if (!up && !mood && bedLife_.wantsPhone(t, situation))
            playBedClip(bedClips.nextPhoneLoop(), false, t);
        else
            playBedClip(phoneOut, false, t);
        return;
    }
    if (up) {
        start(Activity::idle(), t); // the decision logic gets it out
        return;
    }
    if (mood) {
        bedLife_.phoneDone();
        playBedClip(*mood, true, t);
        return;
    }
    if (bedLife_.wantsPhone(t, situation)) {
        playBedClip(phoneIn, false, t);
        return;
    }
    if (t < bedLife_.nextClip()) return;
    // Nine plain clips and a phone spell, equally likely.
    const int pick = sys.random.uniformInt(0, 9);
    if (pick < 9) {
        playBedClip(pick, false, t);
    } else {
        bedLife_.phoneFor(t + r(20, 60));
        playBedClip(phoneIn, false, t);
    }
}

void CatOverlay::stepInBed(double t, double elapsed) {
    const std::optional<int> clip = activity.as<activity::InBed>()->clip;
    if (!clip) {
        nextInBed(t);
        return;
    }
    const BedLife::Situation situation = bedSituation();
    if (bedLife_.wantsUp(t, situation)) {
        bedClips.wrapUp(elapsed);
    } else {
        const std::optional<int> mood = bedLife_.moodClip(t, situation);
        if (!mood && !bedClips.repeats())
            bedClips.wrapUp(elapsed); // the mood is over
        else if (mood && *mood != *clip)
            bedClips.wrapUp(elapsed); // another mood asks for its own clip
    }
    if (bedClips.poseAt(elapsed)) return;
    // The clip is over.
    bedLife_.clipEnded(Clip::bedClips()[std::size_t(*clip)].to, t + r(3, 8));
    start(Activity::inBed(std::nullopt), t);
}
