// Life in the bed: which clip the situation asks for and the phone spells.

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

std::optional<int> CatOverlay::moodClip(double t) {
    static const int laptop = clipIndex(u"bed_laptop");
    static const int doze = clipIndex(u"bed_doze");
    static const int music = clipIndex(u"bed_music");
    if (focusPhase_.focusing()) return laptop;
    if (systemSignals_.inCall()) return doze;
    if (focusPhase_.breakBedtime(t)) return std::nullopt;
    if (systemSignals_.typingSince() && t - *systemSignals_.typingSince() >= 2) return laptop;
    if (systemSignals_.musicPlaying()) return music;
    return std::nullopt;
}

void CatOverlay::playBedClip(int i, bool open, double t) {
    bedClips.play(i, open);
    start(Activity::inBed(i), t);
}

void CatOverlay::nextInBed(double t) {
    static const int phoneIn = clipIndex(u"bed_phone_in");
    static const int phoneOut = clipIndex(u"bed_phone_out");
    const std::optional<int> mood = moodClip(t);
    const bool up = wantsUp(t);
    if (bedHold == Hold::phone) {
        // The phone is put away before anything else happens.
        if (!up && !mood && wantsPhone(t))
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
        phoneUntil.reset();
        playBedClip(*mood, true, t);
        return;
    }
    if (wantsPhone(t)) {
        playBedClip(phoneIn, false, t);
        return;
    }
    if (t < nextBedClip) return;
    // Nine plain clips and a phone spell, equally likely.
    const int pick = sys.random.uniformInt(0, 9);
    if (pick < 9) {
        playBedClip(pick, false, t);
    } else {
        phoneUntil = t + r(20, 60);
        playBedClip(phoneIn, false, t);
    }
}

void CatOverlay::stepInBed(double t, double elapsed) {
    const std::optional<int> clip = activity.as<activity::InBed>()->clip;
    if (!clip) {
        nextInBed(t);
        return;
    }
    if (wantsUp(t)) {
        bedClips.wrapUp(elapsed);
    } else {
        const std::optional<int> mood = moodClip(t);
        if (!mood && !bedClips.repeats())
            bedClips.wrapUp(elapsed); // the mood is over
        else if (mood && *mood != *clip)
            bedClips.wrapUp(elapsed); // another mood asks for its own clip
    }
    if (bedClips.poseAt(elapsed)) return;
    // The clip is over.
    bedHold = Clip::bedClips()[std::size_t(*clip)].to;
    nextBedClip = t + r(3, 8);
    start(Activity::inBed(std::nullopt), t);
}
